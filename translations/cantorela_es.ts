<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>App::CommandLine</name>
    <message>
        <location filename="../src/app/command_line.cpp" line="+29"/>
        <source>Usage: cantorela [options]
Cantorela, a trainer of music reading and ear skills for piano students.

Options:
  -nofs          show the main window in a normal window instead of full screen
  -display N     place the main window on screen N (counted from 0)
  -h, --help     print this help and exit
  --version      print the version and exit

Qt&apos;s own options (-platform, -style, ...) are accepted too; choose the X server with
the DISPLAY environment variable.
</source>
        <translation>Uso: cantorela [opciones]
Cantorela, un entrenador de lectura musical y de oído para estudiantes de piano.

Opciones:
  -nofs          muestra la ventana principal en una ventana normal en vez de a pantalla completa
  -display N     coloca la ventana principal en la pantalla N (contando desde 0)
  -h, --help     muestra esta ayuda y termina
  --version      muestra la versión y termina

También se aceptan las opciones propias de Qt (-platform, -style, …); elige el servidor X
con la variable de entorno DISPLAY.
</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>cantorela: no display found (DISPLAY and WAYLAND_DISPLAY are not set).
Start it from a desktop session, or use &apos;make run&apos;, which starts a virtual display when there is none.
</source>
        <translation>cantorela: no se ha encontrado ninguna pantalla (DISPLAY y WAYLAND_DISPLAY no están definidas).
Inícialo desde una sesión de escritorio, o usa «make run», que inicia una pantalla virtual si no hay ninguna.
</translation>
    </message>
</context>
<context>
    <name>Application</name>
    <message>
        <location filename="../src/app/application.cpp" line="+120"/>
        <source>Reading your progress…</source>
        <translation>Leyendo tu progreso…</translation>
    </message>
    <message>
        <location filename="../src/app/main.cpp" line="+89"/>
        <source>Starting the sound and looking for MIDI keyboards…</source>
        <translation>Iniciando el sonido y buscando teclados MIDI…</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Preparing the trainers…</source>
        <translation>Preparando los entrenadores…</translation>
    </message>
</context>
<context>
    <name>Core::AnswerLogMonitor</name>
    <message>
        <location filename="../src/core/exercise/exercise_catalog.cpp" line="+101"/>
        <source>Your answers cannot be logged: the disk is full.</source>
        <translation>No se pueden registrar tus respuestas: el disco está lleno.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Your answers cannot be logged: %1 cannot be written.</source>
        <translation>No se pueden registrar tus respuestas: no se puede escribir en %1.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Your answers cannot be logged (%1).</source>
        <translation>No se pueden registrar tus respuestas (%1).</translation>
    </message>
</context>
<context>
    <name>Core::DataFile</name>
    <message>
        <location filename="../src/core/data_file.cpp" line="+68"/>
        <source>the folder %1 cannot be made</source>
        <translation>no se puede crear la carpeta %1</translation>
    </message>
</context>
<context>
    <name>Core::ExerciseCatalog</name>
    <message>
        <location filename="../src/core/exercise/exercise_catalog.cpp" line="-87"/>
        <source>Note Trainer</source>
        <translation>Entrenador de notas</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Learn reading notes</source>
        <translation>Aprende a leer notas</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Quiz yourself on reading notes</source>
        <translation>Ponte a prueba leyendo notas</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ear Trainer</source>
        <translation>Entrenador auditivo</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Learn recognizing notes by ear</source>
        <translation>Aprende a reconocer notas de oído</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Quiz yourself on recognizing notes by ear</source>
        <translation>Ponte a prueba reconociendo notas de oído</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Music Symbols</source>
        <translation>Símbolos musicales</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Learn various music symbols</source>
        <translation>Aprende diversos símbolos musicales</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Quiz yourself on music symbols</source>
        <translation>Ponte a prueba con los símbolos musicales</translation>
    </message>
</context>
<context>
    <name>Core::ExerciseEarTrainer</name>
    <message>
        <location filename="../src/core/exercise/exercise_ear_trainer.cpp" line="+47"/>
        <source>Single Notes</source>
        <translation>Notas sueltas</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Single Notes</source>
        <translation>Practicar notas sueltas</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Intervals</source>
        <translation>Intervalos</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Intervals</source>
        <translation>Practicar intervalos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Chords</source>
        <translation>Acordes</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Chords</source>
        <translation>Practicar acordes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Scales</source>
        <translation>Escalas</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Scales</source>
        <translation>Practicar escalas</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tempo</source>
        <translation>Tempo</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Tempo</source>
        <translation>Practicar el tempo</translation>
    </message>
</context>
<context>
    <name>Core::ExerciseNoteTrainer</name>
    <message>
        <location filename="../src/core/exercise/exercise_note_trainer.cpp" line="+48"/>
        <source>Single Notes</source>
        <translation>Notas sueltas</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Train Single Notes</source>
        <translation>Practicar notas sueltas</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Intervals</source>
        <translation>Intervalos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Train Intervals</source>
        <translation>Practicar intervalos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Chords</source>
        <translation>Acordes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Train Chords</source>
        <translation>Practicar acordes</translation>
    </message>
</context>
<context>
    <name>Core::ExerciseStatistics</name>
    <message>
        <location filename="../src/core/exercise/exercise_statistics.cpp" line="+215"/>
        <source>%1 could not be read and could not be kept aside; not replaced</source>
        <translation>%1 no se ha podido leer ni guardar aparte; no se ha sustituido</translation>
    </message>
</context>
<context>
    <name>Core::ExerciseSymbolTrainer</name>
    <message>
        <location filename="../src/core/exercise/exercise_symbol_trainer.cpp" line="+28"/>
        <source>Whole</source>
        <translation>Redonda</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Whole
Rest</source>
        <translation>Silencio de
redonda</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Half</source>
        <translation>Blanca</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Half
Rest</source>
        <translation>Silencio de
blanca</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Quarter</source>
        <translation>Negra</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Quarter
Rest</source>
        <translation>Silencio de
negra</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Eighth</source>
        <translation>Corchea</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Eighth
Rest</source>
        <translation>Silencio de
corchea</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sixteenth</source>
        <translation>Semicorchea</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sixteenth
Rest</source>
        <translation>Silencio de
semicorchea</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Thirty Second</source>
        <translation>Fusa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Thirty Second
Rest</source>
        <translation>Silencio de
fusa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sixty Fourth</source>
        <translation>Semifusa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sixty Fourth
Rest</source>
        <translation>Silencio de
semifusa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>One Twenty Eighth</source>
        <translation>Garrapatea</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>One Twenty Eighth
Rest</source>
        <translation>Silencio de
garrapatea</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Pianississimo</source>
        <translation>Pianississimo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pianissimo</source>
        <translation>Pianissimo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Piano</source>
        <translation>Piano</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mezzo-piano</source>
        <translation>Mezzo-piano</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mezzo-forte</source>
        <translation>Mezzo-forte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Forte</source>
        <translation>Forte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fortissimo</source>
        <translation>Fortissimo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fortississimo</source>
        <translation>Fortississimo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sforzando</source>
        <translation>Sforzando</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Crescendo</source>
        <translation>Crescendo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Diminuendo</source>
        <translation>Diminuendo</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Staccato</source>
        <translation>Staccato</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Staccatissimo</source>
        <translation>Staccatissimo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Accent</source>
        <translation>Acento</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fermata</source>
        <translation>Calderón</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Flat</source>
        <translation>Bemol</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tie</source>
        <translation>Ligadura de unión</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Marcato</source>
        <translation>Marcato</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Natural</source>
        <translation>Becuadro</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ottava Alta</source>
        <translation>Octava alta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ottava Bassa</source>
        <translation>Octava baja</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pedal Down</source>
        <translation>Pisar el pedal</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pedal Up</source>
        <translation>Soltar el pedal</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Repeat</source>
        <translation>Repetición</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sharp</source>
        <translation>Sostenido</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Volta</source>
        <translation>Casillas de repetición</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tremolo</source>
        <translation>Trémolo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Trill</source>
        <translation>Trino</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Appoggiatura</source>
        <translation>Apoyatura</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Double Flat</source>
        <translation>Doble bemol</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Double Sharp</source>
        <translation>Doble sostenido</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Arpeggio</source>
        <translation>Arpegio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tenuto</source>
        <translation>Tenuto</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Slur</source>
        <translation>Ligadura de expresión</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Acciaccatura</source>
        <translation>Acciaccatura</translation>
    </message>
    <message>
        <location line="+93"/>
        <source>Note Lengths</source>
        <translation>Figuras</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Note Lengths</source>
        <translation>Practicar figuras</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Key Signatures</source>
        <translation>Armaduras</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Key Signatures</source>
        <translation>Practicar armaduras</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tempo</source>
        <translation>Tempo</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Tempo</source>
        <translation>Practicar el tempo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Loudness</source>
        <translation>Dinámica</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Loudness</source>
        <translation>Practicar la dinámica</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Note Modifiers</source>
        <translation>Otros signos</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Note Modifiers</source>
        <translation>Practicar otros signos</translation>
    </message>
</context>
<context>
    <name>Core::InstrumentList</name>
    <message>
        <location filename="../src/core/midi/instrument_list.cpp" line="+22"/>
        <source>Acoustic Grand Piano</source>
        <translation>Piano de cola acústico</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Bright Acoustic Piano</source>
        <translation>Piano acústico brillante</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Electric Grand Piano</source>
        <translation>Piano de cola eléctrico</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Honky-tonk Piano</source>
        <translation>Piano honky-tonk</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Electric Piano 1</source>
        <translation>Piano eléctrico 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Electric Piano 2</source>
        <translation>Piano eléctrico 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Harpsichord</source>
        <translation>Clavecín</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Clavi</source>
        <translation>Clavinet</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Drawbar Organ</source>
        <translation>Órgano de tiradores</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Percussive Organ</source>
        <translation>Órgano percusivo</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Rock Organ</source>
        <translation>Órgano de rock</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Church Organ</source>
        <translation>Órgano de iglesia</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reed Organ</source>
        <translation>Armonio</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Accordion</source>
        <translation>Acordeón</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Harmonica</source>
        <translation>Armónica</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Tango Accordion</source>
        <translation>Bandoneón</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Acoustic Guitar (nylon)</source>
        <translation>Guitarra acústica (nailon)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Acoustic Guitar (steel)</source>
        <translation>Guitarra acústica (acero)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Electric Guitar (jazz)</source>
        <translation>Guitarra eléctrica (jazz)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Electric Guitar (clean)</source>
        <translation>Guitarra eléctrica (limpia)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Electric Guitar (muted)</source>
        <translation>Guitarra eléctrica (apagada)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Violin</source>
        <translation>Violín</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Viola</source>
        <translation>Viola</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cello</source>
        <translation>Violonchelo</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Trumpet</source>
        <translation>Trompeta</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Trombone</source>
        <translation>Trombón</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Tuba</source>
        <translation>Tuba</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Muted Trumpet</source>
        <translation>Trompeta con sordina</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>French Horn</source>
        <translation>Trompa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Brass Section</source>
        <translation>Sección de metales</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>SynthBrass 1</source>
        <translation>Metales sintetizados 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>SynthBrass 2</source>
        <translation>Metales sintetizados 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Soprano Sax</source>
        <translation>Saxo soprano</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Alto Sax</source>
        <translation>Saxo alto</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tenor Sax</source>
        <translation>Saxo tenor</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Baritone Sax</source>
        <translation>Saxo barítono</translation>
    </message>
</context>
<context>
    <name>Core::MidiFile</name>
    <message>
        <location filename="../src/core/midi/midi_file.cpp" line="+35"/>
        <source>Error opening midi file.</source>
        <translation>Error al abrir el archivo MIDI.</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+14"/>
        <location line="+6"/>
        <source>Error loading midi file.</source>
        <translation>Error al cargar el archivo MIDI.</translation>
    </message>
    <message>
        <location line="-14"/>
        <source>Error reading midi file.</source>
        <translation>Error al leer el archivo MIDI.</translation>
    </message>
</context>
<context>
    <name>Core::MidiFileValidator</name>
    <message>
        <location filename="../src/core/midi/midi_file_validator.cpp" line="+123"/>
        <source>bad or truncated delta time</source>
        <translation>tiempo delta incorrecto o truncado</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>track too long</source>
        <translation>pista demasiado larga</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+40"/>
        <source>track ends without end-of-track event</source>
        <translation>la pista termina sin evento de fin de pista</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>data byte without a running status</source>
        <translation>byte de datos sin estado en curso (running status)</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+13"/>
        <source>bad or truncated channel message</source>
        <translation>mensaje de canal incorrecto o truncado</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>bad or truncated sysex</source>
        <translation>mensaje SysEx incorrecto o truncado</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>escaped or system event in a track</source>
        <translation>evento de escape o de sistema en una pista</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>bad meta event type</source>
        <translation>tipo de metaevento incorrecto</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+3"/>
        <source>bad meta event length</source>
        <translation>longitud de metaevento incorrecta</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>truncated meta event</source>
        <translation>metaevento truncado</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>zero tempo</source>
        <translation>tempo cero</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>bad time signature</source>
        <translation>indicación de compás incorrecta</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>data after end-of-track event</source>
        <translation>datos tras el evento de fin de pista</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>empty file</source>
        <translation>archivo vacío</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>file too large</source>
        <translation>archivo demasiado grande</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>no MThd header</source>
        <translation>falta la cabecera MThd</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>header length is not 6</source>
        <translation>la longitud de la cabecera no es 6</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>truncated header</source>
        <translation>cabecera truncada</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>unsupported format</source>
        <translation>formato no admitido</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>bad number of tracks</source>
        <translation>número de pistas incorrecto</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>unsupported time division</source>
        <translation>división de tiempo no admitida</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>missing track chunk</source>
        <translation>falta un bloque de pista</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>chunk is not a track</source>
        <translation>el bloque no es una pista</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>truncated track chunk</source>
        <translation>bloque de pista truncado</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>data after the last track</source>
        <translation>datos tras la última pista</translation>
    </message>
</context>
<context>
    <name>Core::MidiOutSynthDevice</name>
    <message>
        <location filename="../src/core/midi/midi_out_synth_device.cpp" line="+11"/>
        <source>Built-in synthesizer</source>
        <translation>Sintetizador integrado</translation>
    </message>
</context>
<context>
    <name>Core::MusicTables</name>
    <message>
        <location filename="../src/core/exercise/music_tables.cpp" line="+54"/>
        <source>Major</source>
        <translation>Mayor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Natural m</source>
        <translation>Menor natural</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Harmonic m</source>
        <translation>Menor armónica</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Melodic m</source>
        <translation>Menor melódica</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Pentatonic</source>
        <translation>Pentatónica</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pentatonic m</source>
        <translation>Pentatónica menor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Diminished</source>
        <translation>Disminuida</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Blues</source>
        <translation>Blues</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Augmented</source>
        <translation>Aumentada</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Whole Tone</source>
        <translation>Tonos enteros</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Adagio</source>
        <translation>Adagio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Slow &amp;&amp; stately
 (66-76 bpm)</source>
        <translation>Lento y majestuoso
 (66-76 ppm)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Allegro</source>
        <translation>Allegro</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fast &amp;&amp; bright
 (120-139 bpm)</source>
        <translation>Rápido y alegre
 (120-139 ppm)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Andante</source>
        <translation>Andante</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>At a Walking Pace
 (76-108 bpm)</source>
        <translation>A ritmo de paseo
 (76-108 ppm)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Largo</source>
        <translation>Largo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Very slow
 (40-60 bpm)</source>
        <translation>Muy lento
 (40-60 ppm)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Moderato</source>
        <translation>Moderato</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Moderately
 (101-110 bpm)</source>
        <translation>Moderado
 (101-110 ppm)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Presto</source>
        <translation>Presto</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Very fast
 (168-200 bpm)</source>
        <translation>Muy rápido
 (168-200 ppm)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Vivace</source>
        <translation>Vivace</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Lively &amp;&amp; fast
 (130-155 bpm)</source>
        <translation>Vivo y rápido
 (130-155 ppm)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Perfect Unison</source>
        <translation>Unísono justo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor second</source>
        <translation>Segunda menor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major second</source>
        <translation>Segunda mayor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor third</source>
        <translation>Tercera menor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major third</source>
        <translation>Tercera mayor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Perfect fourth</source>
        <translation>Cuarta justa</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+17"/>
        <source>Tritone</source>
        <translation>Tritono</translation>
    </message>
    <message>
        <location line="-16"/>
        <source>Perfect fifth</source>
        <translation>Quinta justa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor sixth</source>
        <translation>Sexta menor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major sixth</source>
        <translation>Sexta mayor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor seventh</source>
        <translation>Séptima menor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major seventh</source>
        <translation>Séptima mayor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Perfect octave</source>
        <translation>Octava justa</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Unison</source>
        <translation>Unísono</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor 2nd</source>
        <translation>2.ª menor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major 2nd</source>
        <translation>2.ª mayor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor 3rd</source>
        <translation>3.ª menor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major 3rd</source>
        <translation>3.ª mayor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Perfect 4th</source>
        <translation>4.ª justa</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Perfect 5th</source>
        <translation>5.ª justa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor 6th</source>
        <translation>6.ª menor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major 6th</source>
        <translation>6.ª mayor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor 7th</source>
        <translation>7.ª menor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major 7th</source>
        <translation>7.ª mayor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Octave</source>
        <translation>Octava</translation>
    </message>
    <message>
        <location line="+77"/>
        <location line="+7"/>
        <location line="+37"/>
        <source>note error</source>
        <translation>error de nota</translation>
    </message>
    <message>
        <location line="-30"/>
        <location line="+7"/>
        <location line="+7"/>
        <source>interval error</source>
        <translation>error de intervalo</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+7"/>
        <source>chord error</source>
        <translation>error de acorde</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1 inv%2</source>
        <extracomment>A chord symbol (%1, &quot;C♯maj&quot;) in its first or second inversion (%2).</extracomment>
        <translation>%1 inv%2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>(oct %1)</source>
        <extracomment>The octave number of a chord&apos;s root, on the line under the chord symbol.</extracomment>
        <translation>(oct. %1)</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+7"/>
        <source>scale error</source>
        <translation>error de escala</translation>
    </message>
</context>
<context>
    <name>Core::NoteSpelling</name>
    <message>
        <location filename="../src/core/exercise/note_spelling.cpp" line="+64"/>
        <source>letters</source>
        <extracomment>Not shown: which note names this language uses. Answer &quot;letters&quot; for C D E F G A B (C♯, B♭), &quot;german&quot; for C D E F G A H (Cis, Es, B for B flat) or &quot;solfege&quot; for Do Re Mi Fa Sol La Si (Do♯, Si♭).</extracomment>
        <translation>solfege</translation>
    </message>
    <message>
        <location line="+112"/>
        <source>%1 / %2</source>
        <extracomment>The answer of a key signature: %1 its major key, %2 its relative minor (&quot;F♯ / d♯&quot;; the letters of a minor key come in lower case, syllables do not). A language that does not mark minor keys by lower case adds its words here (&quot;%1 M / %2 m&quot;).</extracomment>
        <translation>%1 mayor / %2 menor</translation>
    </message>
</context>
<context>
    <name>DeviceBoxView</name>
    <message>
        <location filename="../src/ui/settings/device_box_view.ui" line="+14"/>
        <location line="+63"/>
        <source>MIDI Keyboard</source>
        <translation>Teclado MIDI</translation>
    </message>
    <message>
        <location line="-60"/>
        <source>The MIDI input device that answers come from.</source>
        <translation>El dispositivo de entrada MIDI del que llegan las respuestas.</translation>
    </message>
    <message>
        <location line="+102"/>
        <location line="+3"/>
        <source>Previous MIDI device</source>
        <translation>Dispositivo MIDI anterior</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+3"/>
        <source>Next MIDI device</source>
        <translation>Dispositivo MIDI siguiente</translation>
    </message>
</context>
<context>
    <name>ExerciseScreen</name>
    <message>
        <location filename="../src/ui/exercise/exercise_screen.ui" line="+6"/>
        <location line="+1"/>
        <source>Exercise</source>
        <translation>Ejercicio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Space bar: pause or go on. Keys 1 to 6: the answer buttons. R: hear the question again.</source>
        <translation>Barra espaciadora: pausa o continuar. Teclas 1 a 6: los botones de respuesta. R: volver a oír la pregunta.</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Lesson</source>
        <translation>Lección</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Section</source>
        <translation>Sección</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Score</source>
        <translation>Puntuación</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Right and wrong answers</source>
        <translation>Respuestas correctas e incorrectas</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pause</source>
        <translation>Pausa</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Pause or continue the lesson (spacebar)</source>
        <translation>Pausar o continuar la lección (barra espaciadora)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Lesson view</source>
        <translation>Vista de la lección</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+12"/>
        <location line="+35"/>
        <source>Question</source>
        <translation>Pregunta</translation>
    </message>
    <message>
        <location line="-15"/>
        <source>Task</source>
        <translation>Tarea</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hear again (R)</source>
        <translation>Volver a oír (R)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Hear the question again (R)</source>
        <translation>Volver a oír la pregunta (R)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Hear again</source>
        <translation>Volver a oír</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Plays the question again. Key: R</source>
        <translation>Vuelve a tocar la pregunta. Tecla: R</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Answer status</source>
        <translation>Estado de la respuesta</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Music</source>
        <translation>Partitura</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Chord symbol</source>
        <translation>Símbolo de acorde</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Answers</source>
        <translation>Respuestas</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Answer 1</source>
        <translation>Respuesta 1</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Answer 2</source>
        <translation>Respuesta 2</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Answer 3</source>
        <translation>Respuesta 3</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Answer 4</source>
        <translation>Respuesta 4</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Answer 5</source>
        <translation>Respuesta 5</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Answer 6</source>
        <translation>Respuesta 6</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Statistics</source>
        <translation>Estadísticas</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+33"/>
        <source>Statistics caption</source>
        <translation>Título de las estadísticas</translation>
    </message>
    <message>
        <location line="-29"/>
        <source>Statistics rows</source>
        <translation>Filas de estadísticas</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>History</source>
        <translation>Historial</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>View History</source>
        <translation>Ver historial</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Clear History</source>
        <translation>Borrar historial</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Extended statistics</source>
        <translation>Estadísticas ampliadas</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Tempo statistics rows</source>
        <translation>Filas de estadísticas de tempo</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Reference</source>
        <translation>Referencia</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Reference title</source>
        <translation>Título de la referencia</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reference page</source>
        <translation>Página de referencia</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Print</source>
        <translation>Imprimir</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Piano keyboard</source>
        <translation>Teclado de piano</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+11"/>
        <source>Sections</source>
        <translation>Secciones</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+1"/>
        <source>Section 1</source>
        <translation>Sección 1</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+1"/>
        <source>Section 2</source>
        <translation>Sección 2</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+1"/>
        <source>Section 3</source>
        <translation>Sección 3</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+1"/>
        <source>Section 4</source>
        <translation>Sección 4</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+1"/>
        <source>Section 5</source>
        <translation>Sección 5</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Lesson position</source>
        <translation>Posición en la lección</translation>
    </message>
</context>
<context>
    <name>GeneralSettingsTab</name>
    <message>
        <location filename="../src/ui/settings/general_settings_tab.ui" line="+14"/>
        <source>General settings</source>
        <translation>Ajustes generales</translation>
    </message>
    <message>
        <location line="+107"/>
        <location line="+3"/>
        <source>Midi Input</source>
        <translation>Entrada MIDI</translation>
    </message>
    <message>
        <location line="+24"/>
        <location line="+3"/>
        <source>Device</source>
        <translation>Dispositivo</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>MIDI Keyboard</source>
        <translation>Teclado MIDI</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+3"/>
        <source>Test my keyboard and sound</source>
        <translation>Probar mi teclado y el sonido</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Shows the keys you press, plays a test tone and measures how soon a key sounds.</source>
        <translation>Muestra las teclas que pulsas, toca un tono de prueba y mide cuánto tarda una tecla en sonar.</translation>
    </message>
    <message>
        <location line="+26"/>
        <location line="+3"/>
        <source>Midi Playback</source>
        <translation>Reproducción MIDI</translation>
    </message>
    <message>
        <location line="+24"/>
        <location line="+3"/>
        <location line="+24"/>
        <source>Instrument</source>
        <translation>Instrumento</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The instrument that plays the questions. Choosing one plays a short note.</source>
        <translation>El instrumento que toca las preguntas. Al elegir uno, suena una nota corta.</translation>
    </message>
    <message>
        <location line="+239"/>
        <location line="+3"/>
        <location line="+24"/>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The language Cantorela speaks. System language follows the computer&apos;s setting.</source>
        <translation>El idioma de Cantorela. “Idioma del sistema” sigue la configuración del ordenador.</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+3"/>
        <source>Cantorela speaks the chosen language from its next start.</source>
        <translation>Cantorela usará el idioma elegido a partir del próximo inicio.</translation>
    </message>
    <message>
        <location line="+29"/>
        <location line="+3"/>
        <source>Answer Input</source>
        <translation>Forma de responder</translation>
    </message>
    <message>
        <location line="+24"/>
        <location line="+3"/>
        <source>Use Graphical Piano</source>
        <translation>Piano en pantalla</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Answer on the on-screen piano.</source>
        <translation>Responder en el piano de la pantalla.</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+3"/>
        <source>Use multiple choice buttons</source>
        <translation>Botones de opción múltiple</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Answer with the multiple choice buttons.</source>
        <translation>Responder con los botones de opción múltiple.</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+3"/>
        <source>Use Both</source>
        <translation>Ambos</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Answer on the on-screen piano or with the multiple choice buttons.</source>
        <translation>Responder en el piano de la pantalla o con los botones de opción múltiple.</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+3"/>
        <source>Colour-blind friendly colours</source>
        <translation>Colores aptos para daltónicos</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Show right and wrong in blue and orange instead of green and red.</source>
        <translation>Mostrar aciertos y errores en azul y naranja en lugar de verde y rojo.</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+9"/>
        <source>Ask more often what you answered wrong in earlier lessons, until you answer it right a few times in a row.</source>
        <translation>Preguntar más a menudo lo que respondiste mal en lecciones anteriores, hasta que lo respondas bien unas cuantas veces seguidas.</translation>
    </message>
    <message>
        <location line="-6"/>
        <location line="+3"/>
        <source>Practise my weak spots</source>
        <translation>Practicar mis puntos débiles</translation>
    </message>
    <message>
        <location line="+26"/>
        <location line="+3"/>
        <source>Auto Continue</source>
        <translation>Avance automático</translation>
    </message>
    <message>
        <location line="+24"/>
        <location line="+3"/>
        <source>Mode</source>
        <translation>Modo</translation>
    </message>
    <message>
        <location line="+24"/>
        <location line="+3"/>
        <source>Pause after mistake</source>
        <translation>Pausa tras un error</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>After a wrong answer the lesson waits for the space bar.</source>
        <translation>Tras una respuesta incorrecta, la lección espera a que pulses la barra espaciadora.</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+3"/>
        <source>Continue after mistake</source>
        <translation>Seguir tras un error</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>After a wrong answer the lesson goes on by itself.</source>
        <translation>Tras una respuesta incorrecta, la lección sigue sola.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Wait after mistake</source>
        <translation>Espera tras un error</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>How long the lesson waits after a wrong answer before it goes on.</source>
        <translation>Cuánto espera la lección tras una respuesta incorrecta antes de seguir.</translation>
    </message>
    <message>
        <location line="+252"/>
        <location line="+3"/>
        <source>Difficulty Level</source>
        <translation>Nivel de dificultad</translation>
    </message>
    <message>
        <location line="+56"/>
        <location line="+3"/>
        <source>Level 1</source>
        <translation>Nivel 1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Set the questions of this trainer to difficulty level 1.</source>
        <translation>Poner las preguntas de este entrenador en el nivel de dificultad 1.</translation>
    </message>
    <message>
        <location line="+31"/>
        <location line="+3"/>
        <source>Level 2</source>
        <translation>Nivel 2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Set the questions of this trainer to difficulty level 2.</source>
        <translation>Poner las preguntas de este entrenador en el nivel de dificultad 2.</translation>
    </message>
    <message>
        <location line="+31"/>
        <location line="+3"/>
        <source>Level 3</source>
        <translation>Nivel 3</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Set the questions of this trainer to difficulty level 3.</source>
        <translation>Poner las preguntas de este entrenador en el nivel de dificultad 3.</translation>
    </message>
    <message>
        <location line="+31"/>
        <location line="+3"/>
        <source>Level 4</source>
        <translation>Nivel 4</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Set the questions of this trainer to difficulty level 4.</source>
        <translation>Poner las preguntas de este entrenador en el nivel de dificultad 4.</translation>
    </message>
    <message>
        <location line="+31"/>
        <location line="+3"/>
        <source>Level 5</source>
        <translation>Nivel 5</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Set the questions of this trainer to difficulty level 5.</source>
        <translation>Poner las preguntas de este entrenador en el nivel de dificultad 5.</translation>
    </message>
    <message>
        <location line="+31"/>
        <location line="+3"/>
        <source>Ask difficulty level before lesson starts</source>
        <translation>Preguntar el nivel antes de cada lección</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Show the difficulty level dialog before each lesson of this trainer.</source>
        <translation>Mostrar la ventana del nivel de dificultad antes de cada lección de este entrenador.</translation>
    </message>
</context>
<context>
    <name>HomeScreen</name>
    <message>
        <location filename="../src/ui/home/home_screen.ui" line="+19"/>
        <source>Trainers</source>
        <translation>Entrenadores</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Choose a trainer and learn or quiz yourself.</source>
        <translation>Elige un entrenador y aprende o ponte a prueba.</translation>
    </message>
    <message>
        <location line="+58"/>
        <source>Note Trainer</source>
        <translation>Entrenador de notas</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Read notes, intervals and chords.</source>
        <translation>Lee notas, intervalos y acordes.</translation>
    </message>
    <message>
        <location line="+19"/>
        <location line="+3"/>
        <source>Learn reading notes</source>
        <translation>Aprende a leer notas</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+120"/>
        <location line="+120"/>
        <source>Learn</source>
        <translation>Aprender</translation>
    </message>
    <message>
        <location line="-221"/>
        <location line="+3"/>
        <source>Quiz yourself on reading notes</source>
        <translation>Ponte a prueba leyendo notas</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+120"/>
        <location line="+120"/>
        <source>Quiz</source>
        <translation>Prueba</translation>
    </message>
    <message>
        <location line="-221"/>
        <location line="+120"/>
        <location line="+120"/>
        <source>Your answers so far</source>
        <translation>Tus respuestas hasta ahora</translation>
    </message>
    <message>
        <location line="-221"/>
        <source>Note Trainer answers</source>
        <translation>Respuestas del entrenador de notas</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Ear Trainer</source>
        <translation>Entrenador auditivo</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Hear notes, chords, scales and tempo.</source>
        <translation>Escucha notas, acordes, escalas y tempo.</translation>
    </message>
    <message>
        <location line="+19"/>
        <location line="+3"/>
        <source>Learn recognizing notes by ear</source>
        <translation>Aprende a reconocer notas de oído</translation>
    </message>
    <message>
        <location line="+22"/>
        <location line="+3"/>
        <source>Quiz yourself on recognizing notes by ear</source>
        <translation>Ponte a prueba reconociendo notas de oído</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Ear Trainer answers</source>
        <translation>Respuestas del entrenador auditivo</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Music Symbols</source>
        <translation>Símbolos musicales</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Lengths, keys, dynamics and more.</source>
        <translation>Figuras, armaduras, dinámica y más.</translation>
    </message>
    <message>
        <location line="+19"/>
        <location line="+3"/>
        <source>Learn various music symbols</source>
        <translation>Aprende diversos símbolos musicales</translation>
    </message>
    <message>
        <location line="+22"/>
        <location line="+3"/>
        <source>Quiz yourself on music symbols</source>
        <translation>Ponte a prueba con los símbolos musicales</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Music Symbols answers</source>
        <translation>Respuestas de símbolos musicales</translation>
    </message>
</context>
<context>
    <name>KeyRangeDialog</name>
    <message>
        <location filename="../src/ui/dialogs/key_range_dialog.ui" line="+52"/>
        <source>Click the lowest key</source>
        <translation>Haz clic en la tecla más grave</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Instruction</source>
        <translation>Instrucción</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Key under the pointer</source>
        <translation>Tecla bajo el puntero</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Piano keyboard</source>
        <translation>Teclado de piano</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Left and Right arrows move along the keyboard, Enter picks.</source>
        <translation>Las flechas izquierda y derecha recorren el teclado; Intro elige.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Keyboard hint</source>
        <translation>Ayuda del teclado</translation>
    </message>
</context>
<context>
    <name>Keyboard</name>
    <message>
        <location filename="../src/ui/widgets/keyboard_accessible.cpp" line="+36"/>
        <source>Piano keyboard</source>
        <translation>Teclado de piano</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>88 keys from %1 to %2; press a key to play it</source>
        <translation>88 teclas, de %1 a %2; pulsa una tecla para tocarla</translation>
    </message>
    <message>
        <location line="+94"/>
        <source>right</source>
        <translation>correcta</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>missed</source>
        <translation>no tocada</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>wrong</source>
        <translation>incorrecta</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../src/ui/main_window.ui" line="+6"/>
        <location line="+1"/>
        <location line="+56"/>
        <source>Cantorela</source>
        <translation>Cantorela</translation>
    </message>
    <message>
        <location line="-28"/>
        <source>Tool bar</source>
        <translation>Barra de herramientas</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Back to the trainers (Alt+Left)</source>
        <translation>Volver a los entrenadores (Alt+Flecha izquierda)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Home</source>
        <translation>Inicio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>‹  Home</source>
        <translation>‹  Inicio</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>QUIZ</source>
        <extracomment>The badge after the trainer&apos;s name in the tool bar during a quiz; short, upper case.</extracomment>
        <translation>PRUEBA</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>The lesson (Ctrl+1)</source>
        <translation>La lección (Ctrl+1)</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>Exercise</source>
        <translation>Ejercicio</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Look up what the lesson teaches (Ctrl+2)</source>
        <translation>Consulta lo que enseña la lección (Ctrl+2)</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>Reference</source>
        <translation>Referencia</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Your right and wrong answers (Ctrl+3)</source>
        <translation>Tus aciertos y errores (Ctrl+3)</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>Statistics</source>
        <translation>Estadísticas</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>What the trainer may ask (Ctrl+4)</source>
        <translation>Lo que puede preguntar el entrenador (Ctrl+4)</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>Settings</source>
        <translation>Ajustes</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>A message from Vantorix</source>
        <translation>Un mensaje de Vantorix</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>Mail</source>
        <translation>Correo</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>How to use Cantorela (F1)</source>
        <translation>Cómo usar Cantorela (F1)</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>Help</source>
        <translation>Ayuda</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Version and credits</source>
        <translation>Versión y créditos</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Minimize the window</source>
        <translation>Minimizar la ventana</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minimize</source>
        <translation>Minimizar</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Full screen or window (F11)</source>
        <translation>Pantalla completa o ventana (F11)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Full screen</source>
        <translation>Pantalla completa</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Quit Cantorela (Ctrl+Q)</source>
        <translation>Salir de Cantorela (Ctrl+Q)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Exit</source>
        <translation>Salir</translation>
    </message>
</context>
<context>
    <name>Progress</name>
    <message>
        <location filename="../src/ui/widgets/progress.cpp" line="+110"/>
        <source>Answers</source>
        <translation>Respuestas</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>%1 right, %2 wrong</source>
        <translation>Aciertos: %1, errores: %2</translation>
    </message>
</context>
<context>
    <name>SectionSettingsTab</name>
    <message>
        <location filename="../src/ui/settings/section_settings_tab.ui" line="+88"/>
        <source>Change not kept</source>
        <translation>Cambio no aplicado</translation>
    </message>
    <message>
        <location line="+11"/>
        <location line="+1"/>
        <location line="+11"/>
        <location line="+6"/>
        <source>Questions</source>
        <translation>Preguntas</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>How many questions this section asks; Off leaves the section out of the lesson</source>
        <translation>Cuántas preguntas hace esta sección; “Ninguna” la deja fuera de la lección</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Off</source>
        <translation>Ninguna</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+6"/>
        <source>Timeout (sec)</source>
        <translation>Tiempo límite (s)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Seconds to answer one question; No limit waits for the answer</source>
        <translation>Segundos para responder cada pregunta; “Sin límite” espera a la respuesta</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No limit</source>
        <translation>Sin límite</translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+1"/>
        <source>Notes</source>
        <translation>Notas</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>White keys</source>
        <translation>Teclas blancas</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Notes on the white keys may be asked</source>
        <translation>Se pueden preguntar notas de las teclas blancas</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Black keys</source>
        <translation>Teclas negras</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Notes on the black keys may be asked</source>
        <translation>Se pueden preguntar notas de las teclas negras</translation>
    </message>
    <message>
        <location line="+8"/>
        <location line="+1"/>
        <source>Clefs</source>
        <translation>Claves</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Treble clef</source>
        <translation>Clave de sol</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Questions may be written on the treble (G) clef</source>
        <translation>Las preguntas pueden escribirse en clave de sol</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Bass clef</source>
        <translation>Clave de fa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Questions may be written on the bass (F) clef</source>
        <translation>Las preguntas pueden escribirse en clave de fa</translation>
    </message>
    <message>
        <location line="+8"/>
        <location line="+1"/>
        <source>Intervals</source>
        <translation>Intervalos</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>From</source>
        <translation>Desde</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Smallest interval</source>
        <translation>Intervalo más pequeño</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>To</source>
        <translation>Hasta</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Largest interval</source>
        <translation>Intervalo más grande</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Arpeggiated</source>
        <translation>Arpegiado</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The two notes are played one after the other</source>
        <translation>Las dos notas suenan una tras otra</translation>
    </message>
</context>
<context>
    <name>UI::AboutDialog</name>
    <message>
        <location filename="../src/ui/dialogs/about_dialog.cpp" line="+33"/>
        <source>application framework</source>
        <translation>entorno de aplicaciones</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>MIDI input and output</source>
        <translation>entrada y salida MIDI</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>MIT-style licence</source>
        <translation>licencia de tipo MIT</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>built-in synthesizer</source>
        <translation>sintetizador integrado</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>FluidR3 Mono General MIDI soundfont</source>
        <translation>Banco de sonidos General MIDI FluidR3 Mono</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the synthesizer&apos;s instruments</source>
        <translation>los instrumentos del sintetizador</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>MIT licence</source>
        <translation>licencia MIT</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>reading Standard MIDI Files</source>
        <translation>lectura de archivos MIDI estándar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>BSD 2-clause licence</source>
        <translation>licencia BSD de 2 cláusulas</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>engraved music</source>
        <translation>notación musical</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Bravura music font</source>
        <translation>Fuente musical Bravura</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>interface text</source>
        <translation>texto de la interfaz</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Lato fonts</source>
        <translation>Fuentes Lato</translation>
    </message>
    <message>
        <location line="+167"/>
        <source>Built with</source>
        <translation>Hecho con</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1, version %2 in use</source>
        <translation>%1, versión %2 en uso</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Tempo pieces</source>
        <translation>Piezas de tempo</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The credits of the tempo pieces are missing.</source>
        <translation>Faltan los créditos de las piezas de tempo.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>About Cantorela</source>
        <translation>Acerca de Cantorela</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Version %1</source>
        <translation>Versión %1</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>A trainer of music reading and ear skills for piano students: notes, intervals, chords, scales, tempo and the symbols of written music.</source>
        <translation>Un entrenador de lectura musical y de oído para estudiantes de piano: notas, intervalos, acordes, escalas, tempo y los símbolos de la música escrita.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>© Vantorix. The parts below are used under their own licences.</source>
        <translation>© Vantorix. Los componentes de abajo se usan con sus propias licencias.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Credits</source>
        <translation>Créditos</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
<context>
    <name>UI::ActionHint</name>
    <message>
        <location filename="../src/ui/exercise/action_hint.cpp" line="+35"/>
        <source>Press spacebar to pause</source>
        <translation>Pulsa la barra espaciadora para hacer una pausa</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Press spacebar for next question,&lt;br&gt;to continue automatically see Settings</source>
        <translation>Pulsa la barra espaciadora para pasar a la siguiente pregunta;&lt;br&gt;para continuar automáticamente, mira los Ajustes</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>I hear nothing: is the microphone muted?</source>
        <translation>No oigo nada: ¿está silenciado el micrófono?</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Your computer keyboard plays the piano: press the letters on its keys.&lt;br&gt;Page Up and Page Down move them an octave.</source>
        <translation>El teclado del ordenador toca el piano: pulsa las letras de sus teclas.&lt;br&gt;RePág y AvPág las mueven una octava.</translation>
    </message>
</context>
<context>
    <name>UI::AnswerFeedback</name>
    <message>
        <location filename="../src/ui/exercise/answer_feedback.cpp" line="+62"/>
        <source>Right</source>
        <translation>Correcto</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Wrong</source>
        <translation>Incorrecto</translation>
    </message>
    <message>
        <location line="+65"/>
        <source>Out of time.</source>
        <translation>Se acabó el tiempo.</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>Answer status</source>
        <translation>Estado de la respuesta</translation>
    </message>
</context>
<context>
    <name>UI::ConfusionList</name>
    <message>
        <location filename="../src/ui/exercise/confusion_list.cpp" line="+36"/>
        <source>Common mistakes</source>
        <translation>Errores frecuentes</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>No confusions yet.</source>
        <translation>Todavía no hay confusiones.</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>Mixed-up items</source>
        <translation>Elementos confundidos</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Close the mixed-up items</source>
        <translation>Cerrar los elementos confundidos</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>What you mix up most, in all your lessons:</source>
        <translation>Lo que más confundes, en todas tus lecciones:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>What you mix up most in this lesson:</source>
        <translation>Lo que más confundes en esta lección:</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>You answer %1 as %2: once</source>
        <extracomment>%1 the item asked, %2 the one answered in its place (&quot;Minor sixth&quot;, &quot;Major sixth&quot;).</extracomment>
        <translation>Respondes %2 en vez de %1: una vez</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>You answer %1 as %2: %n times</source>
        <translation>
            <numerusform>Respondes %2 en vez de %1: %n vez</numerusform>
            <numerusform>Respondes %2 en vez de %1: %n veces</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Play</source>
        <translation>Reproducir</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Show</source>
        <translation>Mostrar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Play %1 and %2</source>
        <translation>Reproducir %1 y %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show %1 and %2</source>
        <translation>Mostrar %1 y %2</translation>
    </message>
</context>
<context>
    <name>UI::DeviceBoxView</name>
    <message>
        <location filename="../src/ui/settings/device_box_view.cpp" line="+34"/>
        <source>Using %1.</source>
        <translation>En uso: %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Using the %1 keyboard device.</source>
        <translation>Usando el teclado %1.</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+1"/>
        <source>No MIDI device plugged in.</source>
        <translation>No hay ningún dispositivo MIDI conectado.</translation>
    </message>
</context>
<context>
    <name>UI::DifficultyLevelDialog</name>
    <message>
        <location filename="../src/ui/dialogs/difficulty_level_dialog.cpp" line="+40"/>
        <source>LEVEL</source>
        <extracomment>The word over the level number on the difficulty buttons; short, upper case.</extracomment>
        <translation>NIVEL</translation>
    </message>
</context>
<context>
    <name>UI::ExerciseScreen</name>
    <message>
        <location filename="../src/ui/exercise/exercise_screen.cpp" line="+105"/>
        <source>Print</source>
        <translation>Imprimir</translation>
    </message>
    <message>
        <location line="+533"/>
        <source>Hear again (R)</source>
        <translation>Volver a oír (R)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Hear again</source>
        <translation>Volver a oír</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hear the question again (R)</source>
        <translation>Volver a oír la pregunta (R)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hear the question again</source>
        <translation>Volver a oír la pregunta</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Plays the question again. Key: R</source>
        <translation>Vuelve a tocar la pregunta. Tecla: R</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Plays the question again.</source>
        <translation>Vuelve a tocar la pregunta.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>&lt;br&gt;Here 2, 3, 5 and 6 play black keys: choose an answer with the mouse or Tab.</source>
        <translation>&lt;br&gt;Aquí 2, 3, 5 y 6 tocan teclas negras: elige una respuesta con el ratón o con Tab.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&lt;br&gt;Here R plays F: for Hear again use its button.</source>
        <translation>&lt;br&gt;Aquí la R toca el Fa: para “Volver a oír”, usa su botón.</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/exercise_screen_session.cpp" line="+74"/>
        <location line="+2"/>
        <source>I answer by singing</source>
        <translation>Respondo cantando</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sing the note you hear, in any octave, and hold it for a moment</source>
        <translation>Canta la nota que oyes, en cualquier octava, y mantenla un momento</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>Question %1 of %2</source>
        <translation>Pregunta %1 de %2</translation>
    </message>
    <message>
        <location line="+243"/>
        <source>Pause</source>
        <translation>Pausa</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Play</source>
        <translation>Continuar</translation>
    </message>
</context>
<context>
    <name>UI::GeneralSettingsTab</name>
    <message>
        <location filename="../src/ui/settings/general_settings_tab.cpp" line="+43"/>
        <source>Wait: 1 second</source>
        <translation>Espera: 1 segundo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wait: %1 seconds</source>
        <translation>Espera: %1 segundos</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>System language</source>
        <translation>Idioma del sistema</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Custom</source>
        <translation>Personalizado</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The question settings are your own and match none of the levels</source>
        <translation>Los ajustes de las preguntas son tuyos y no coinciden con ningún nivel</translation>
    </message>
</context>
<context>
    <name>UI::HelpDialog</name>
    <message>
        <location filename="../src/ui/dialogs/help_dialog.cpp" line="+25"/>
        <source>Cantorela guide</source>
        <translation>Guía de Cantorela</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Guide</source>
        <translation>Guía</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The guide is missing from this build.</source>
        <translation>Esta versión del programa no incluye la guía.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
<context>
    <name>UI::KeyRangeDialog</name>
    <message>
        <location filename="../src/ui/dialogs/key_range_dialog.cpp" line="+73"/>
        <source>Pick an octave</source>
        <translation>Elegir una octava</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Pick keys</source>
        <translation>Elegir teclas</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Click an octave</source>
        <translation>Haz clic en una octava</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Click the highest key</source>
        <translation>Haz clic en la tecla más aguda</translation>
    </message>
</context>
<context>
    <name>UI::KeyRangePicker</name>
    <message>
        <location filename="../src/ui/settings/key_range_picker.cpp" line="+83"/>
        <source>Note range</source>
        <translation>Rango de notas</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Range on the staff</source>
        <translation>Rango en el pentagrama</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Range</source>
        <translation>Rango</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+5"/>
        <source>Lowest</source>
        <translation>Más grave</translation>
    </message>
    <message>
        <location line="-4"/>
        <location line="+5"/>
        <source>Highest</source>
        <translation>Más aguda</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Pick keys…</source>
        <translation>Elegir teclas…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pick keys</source>
        <translation>Elegir teclas</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pick an octave…</source>
        <translation>Elegir una octava…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pick an octave</source>
        <translation>Elegir una octava</translation>
    </message>
</context>
<context>
    <name>UI::LessonSpeech</name>
    <message>
        <location filename="../src/ui/exercise/lesson_speech.cpp" line="+26"/>
        <source>no</source>
        <translation>cero</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>one</source>
        <translation>una</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>two</source>
        <translation>dos</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>three</source>
        <translation>tres</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>four</source>
        <translation>cuatro</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>five</source>
        <translation>cinco</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>six</source>
        <translation>seis</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>seven</source>
        <translation>siete</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>eight</source>
        <translation>ocho</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>nine</source>
        <translation>nueve</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ten</source>
        <translation>diez</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>eleven</source>
        <translation>once</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>twelve</source>
        <translation>doce</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>Grand staff</source>
        <translation>Gran pentagrama</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Treble clef</source>
        <translation>Clave de sol</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Bass clef</source>
        <translation>Clave de fa</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>C clef</source>
        <translation>Clave de do</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>one note</source>
        <translation>una nota</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>chord of %1 notes</source>
        <translation>acorde de %1 notas</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 notes</source>
        <translation>%1 notas</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 chords</source>
        <translation>%1 acordes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Listen: a note</source>
        <translation>Escucha: una nota</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Listen: an interval</source>
        <translation>Escucha: un intervalo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Listen: a scale</source>
        <translation>Escucha: una escala</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Listen: a chord</source>
        <translation>Escucha: un acorde</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Listen and answer</source>
        <translation>Escucha y responde</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>no notes</source>
        <translation>ninguna nota</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>answer %1</source>
        <translation>respuesta %1</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Listen: a tempo</source>
        <translation>Escucha: un tempo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Chord symbol %1</source>
        <translation>Símbolo de acorde %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Music symbol</source>
        <translation>Símbolo musical</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Music</source>
        <translation>Partitura</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>No answer, out of time. Asked: %1</source>
        <translation>Sin respuesta, se acabó el tiempo. Se pedía: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No answer. Asked: %1</source>
        <translation>Sin respuesta. Se pedía: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Your answer: %1, right.</source>
        <translation>Tu respuesta: %1, correcta.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your answer: %1, wrong. Asked: %2</source>
        <translation>Tu respuesta: %1, incorrecta. Se pedía: %2</translation>
    </message>
</context>
<context>
    <name>UI::MailDialog</name>
    <message>
        <location filename="../src/ui/dialogs/mail_dialog.cpp" line="+20"/>
        <source>News from Vantorix</source>
        <translation>Novedades de Vantorix</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>News title</source>
        <translation>Título de la novedad</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>News text</source>
        <translation>Texto de la novedad</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>News</source>
        <translation>Novedades</translation>
    </message>
</context>
<context>
    <name>UI::MainWindow</name>
    <message>
        <location filename="../src/ui/main_window_tool_bar.cpp" line="+41"/>
        <source>Note Trainer</source>
        <translation>Entrenador de notas</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Note Trainer quiz</source>
        <translation>Entrenador de notas (prueba)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Ear Trainer</source>
        <translation>Entrenador auditivo</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Ear Trainer quiz</source>
        <translation>Entrenador auditivo (prueba)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Music Symbols</source>
        <translation>Símbolos musicales</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Music Symbols quiz</source>
        <translation>Símbolos musicales (prueba)</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Quiz</source>
        <translation>Prueba</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Exercise</source>
        <translation>Ejercicio</translation>
    </message>
    <message>
        <location line="+74"/>
        <source>Leave full screen</source>
        <translation>Salir de pantalla completa</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Full screen</source>
        <translation>Pantalla completa</translation>
    </message>
</context>
<context>
    <name>UI::MicrophoneCheck</name>
    <message>
        <location filename="../src/ui/dialogs/microphone_check.cpp" line="+71"/>
        <source>Microphone level</source>
        <translation>Nivel del micrófono</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Background noise: measuring…</source>
        <translation>Ruido de fondo: midiendo…</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>No microphone found.</source>
        <translation>No se encontró ningún micrófono.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The microphone does not open: %1</source>
        <translation>El micrófono no se abre: %1</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Play middle C</source>
        <translation>Toca el do central</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Play a C major chord</source>
        <translation>Toca un acorde de do mayor</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Your piano is heard well.</source>
        <translation>Tu piano se oye bien.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Heard: %1</source>
        <translation>Oído: %1</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Too loud: move the microphone away from the piano.</source>
        <translation>Demasiado alto: aleja el micrófono del piano.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>I hear nothing: is the microphone muted?</source>
        <translation>No oigo nada: ¿está silenciado el micrófono?</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Background noise: %1 dB</source>
        <translation>Ruido de fondo: %1 dB</translation>
    </message>
</context>
<context>
    <name>UI::MidiWarningDialog</name>
    <message>
        <location filename="../src/ui/dialogs/midi_warning_dialog.cpp" line="+17"/>
        <location line="+3"/>
        <source>No MIDI keyboard found</source>
        <translation>No se ha encontrado ningún teclado MIDI</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Connect a MIDI keyboard to answer on it. Until then you can answer on the on-screen piano or with the multiple-choice buttons.</source>
        <translation>Conecta un teclado MIDI para responder con él. Mientras tanto, puedes responder en el piano de la pantalla o con los botones de opción múltiple.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Do not show this again</source>
        <translation>No volver a mostrar</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
</context>
<context>
    <name>UI::PlayDialog</name>
    <message>
        <location filename="../src/ui/dialogs/play_dialog.cpp" line="+58"/>
        <location line="+14"/>
        <source>Paused</source>
        <translation>En pausa</translation>
    </message>
    <message>
        <location line="-13"/>
        <source>Paused: press space or Play to go on</source>
        <translation>En pausa: pulsa Espacio o Continuar para seguir</translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+1"/>
        <source>Continue</source>
        <translation>Continuar</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Press space or Play to go on</source>
        <translation>Pulsa Espacio o Continuar para seguir</translation>
    </message>
</context>
<context>
    <name>UI::ProgressChart</name>
    <message>
        <location filename="../src/ui/exercise/progress_chart.cpp" line="+90"/>
        <source>Progress</source>
        <translation>Progreso</translation>
    </message>
    <message numerus="yes">
        <location line="+10"/>
        <source>%n days</source>
        <translation>
            <numerusform>%n día</numerusform>
            <numerusform>%n días</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>Show the last %n days</source>
        <translation>
            <numerusform>Mostrar el último %n día</numerusform>
            <numerusform>Mostrar los últimos %n días</numerusform>
        </translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Right answers (%)</source>
        <translation>Aciertos (%)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Median answer time</source>
        <translation>Tiempo mediano de respuesta</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Progress chart</source>
        <translation>Gráfico de progreso</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>No practice in these days.</source>
        <translation>No has practicado en estos días.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Values of the day</source>
        <translation>Valores del día</translation>
    </message>
    <message>
        <location line="+87"/>
        <source>%.1f s</source>
        <translation>%.1f s</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%d s</source>
        <translation>%d s</translation>
    </message>
    <message numerus="yes">
        <location line="+9"/>
        <source>%n practised days. Use the arrow keys for the values of each day.</source>
        <translation>
            <numerusform>%n día practicado. Usa las flechas para leer los valores de cada día.</numerusform>
            <numerusform>%n días practicados. Usa las flechas para leer los valores de cada día.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+79"/>
        <source>median time %1 s</source>
        <translation>tiempo mediano %1 s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no answer time</source>
        <translation>sin tiempo de respuesta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1 answer</source>
        <translation>1 respuesta</translation>
    </message>
    <message numerus="yes">
        <location line="+0"/>
        <source>%n answers</source>
        <translation>
            <numerusform>%n respuesta</numerusform>
            <numerusform>%n respuestas</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1: %2% right, %3, %4</source>
        <extracomment>%1 the date, %2 the share of right answers, %3 the median time, %4 the number of answers.</extracomment>
        <translation>%1: %2&#xa0;% de aciertos, %3, %4</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Point at a day for its values.</source>
        <translation>Señala un día para ver sus valores.</translation>
    </message>
</context>
<context>
    <name>UI::QuestionCountdown</name>
    <message>
        <location filename="../src/ui/exercise/question_countdown.cpp" line="+99"/>
        <source>Time left</source>
        <translation>Tiempo restante</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>1 second left</source>
        <translation>Queda 1 segundo</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 seconds left</source>
        <translation>Quedan %1 segundos</translation>
    </message>
</context>
<context>
    <name>UI::QuestionPicture</name>
    <message>
        <location filename="../src/ui/exercise/question_picture.cpp" line="+33"/>
        <source>Question picture</source>
        <translation>Imagen de la pregunta</translation>
    </message>
</context>
<context>
    <name>UI::QuestionView</name>
    <message>
        <location filename="../src/ui/exercise/question_view.cpp" line="+126"/>
        <source>Question</source>
        <translation>Pregunta</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Listen, then sing or choose what you heard</source>
        <translation>Escucha y luego canta o elige lo que has oído</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Listen, then sing what you heard</source>
        <translation>Escucha y luego canta lo que has oído</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Listen, then play or choose what you heard</source>
        <translation>Escucha y luego toca o elige lo que has oído</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Listen: which tempo is this?</source>
        <translation>Escucha: ¿qué tempo es este?</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Name what you see</source>
        <translation>Nombra lo que ves</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Play or name what you see</source>
        <translation>Toca o nombra lo que ves</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Play this chord</source>
        <translation>Toca este acorde</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>What does this mean?</source>
        <translation>¿Qué significa esto?</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Chord symbol %1</source>
        <translation>Símbolo de acorde %1</translation>
    </message>
    <message>
        <location line="+110"/>
        <source>Answer %1: %2, right answer</source>
        <translation>Respuesta %1: %2, respuesta correcta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Answer %1: %2, your answer, wrong</source>
        <translation>Respuesta %1: %2, tu respuesta, incorrecta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Answer %1: %2</source>
        <translation>Respuesta %1: %2</translation>
    </message>
</context>
<context>
    <name>UI::RatingDialog</name>
    <message>
        <location filename="../src/ui/dialogs/rating_dialog.cpp" line="+32"/>
        <source>1 star</source>
        <translation>1 estrella</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 stars</source>
        <translation>%1 estrellas</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>Rate Cantorela</source>
        <translation>Valora Cantorela</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Do you enjoy practising with Cantorela?</source>
        <translation>¿Te gusta practicar con Cantorela?</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Your rating helps other piano students find it, and tells us what to make better. A star opens the rating page in your web browser.</source>
        <translation>Tu valoración ayuda a otros estudiantes de piano a encontrarlo y nos dice qué mejorar. Una estrella abre la página de valoración en tu navegador web.</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Don&apos;t ask again</source>
        <translation>No volver a preguntar</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not now</source>
        <translation>Ahora no</translation>
    </message>
</context>
<context>
    <name>UI::ReferenceBook</name>
    <message>
        <location filename="../src/ui/exercise/reference/chords_page.cpp" line="+19"/>
        <source>Major Triad - C</source>
        <translation>Tríada mayor - C</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor Triad - Cm</source>
        <translation>Tríada menor - Cm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major Sixth - C6</source>
        <translation>Mayor con sexta - C6</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor Sixth - Cm6</source>
        <translation>Menor con sexta - Cm6</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major Seventh - CM7</source>
        <translation>Séptima mayor - CM7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor Seventh - Cm7</source>
        <translation>Menor con séptima - Cm7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dominant Seventh - C7</source>
        <translation>Séptima de dominante - C7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Suspended 2 - Csus2</source>
        <translation>Suspendido 2 - Csus2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Suspended 4 - Csus4</source>
        <translation>Suspendido 4 - Csus4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sixth Suspended 2 - C6sus2</source>
        <translation>Sexta, suspendido 2 - C6sus2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sixth Suspended 4 - C6sus4</source>
        <translation>Sexta, suspendido 4 - C6sus4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Seventh Suspended 2 - C7sus2</source>
        <translation>Séptima, suspendido 2 - C7sus2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Seventh Suspended 4 - C7sus4</source>
        <translation>Séptima, suspendido 4 - C7sus4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Augmented - Caug</source>
        <translation>Aumentado - Caug</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Augmented Sixth - Caug6</source>
        <translation>Aumentado con sexta - Caug6</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Augmented Seventh - Caug7</source>
        <translation>Aumentado con séptima - Caug7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Diminished - Cdim</source>
        <translation>Disminuido - Cdim</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Diminished Seventh - Cdim7</source>
        <translation>Séptima disminuida - Cdim7</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>Every chord is built on middle C (C4) and shown in root position. The second line counts its notes in steps of the major scale from the root: ♭ lowers a step by a semitone, ♯ raises it.</source>
        <translation>Todos los acordes se construyen sobre el do central (Do4) y se muestran en posición fundamental. La segunda línea cuenta sus notas en grados de la escala mayor desde la fundamental: ♭ baja un grado un semitono y ♯ lo sube.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Chord</source>
        <translation>Acorde</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/exercise/reference/intervals_page.cpp" line="+55"/>
        <location filename="../src/ui/exercise/reference/scales_page.cpp" line="+98"/>
        <source>Example</source>
        <translation>Ejemplo</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/exercise/reference/intervals_page.cpp" line="+1"/>
        <source>Notes</source>
        <translation>Notas</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/exercise/reference/intervals_page.cpp" line="+1"/>
        <location filename="../src/ui/exercise/reference/notes_page.cpp" line="+62"/>
        <location filename="../src/ui/exercise/reference/scales_page.cpp" line="+2"/>
        <location filename="../src/ui/exercise/reference/tempo_page.cpp" line="+114"/>
        <source>Listen</source>
        <translation>Escuchar</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/intervals_page.cpp" line="-40"/>
        <source>The same note twice</source>
        <translation>La misma nota dos veces</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The very next key: sharp, tense</source>
        <translation>La tecla contigua: áspera, tensa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>One scale step: gently tense</source>
        <translation>Un paso de la escala: algo tensa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Soft and sad, as in a minor chord</source>
        <translation>Suave y triste, como en un acorde menor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bright, as in a major chord</source>
        <translation>Luminosa, como en un acorde mayor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Open, a little unsettled</source>
        <translation>Abierta, algo inestable</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Half an octave: restless</source>
        <translation>Media octava: inquietante</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Open, hollow, very stable</source>
        <translation>Abierta, hueca, muy estable</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Warm and bittersweet</source>
        <translation>Cálida y agridulce</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sweet and open</source>
        <translation>Dulce y abierta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bluesy, wants to move on</source>
        <translation>Con aire de blues, pide seguir</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dreamy, a key short of C5</source>
        <translation>Soñadora, a una tecla del Do5</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The same letter, 8 white keys up</source>
        <translation>La misma nota, 8 teclas blancas más arriba</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>An interval is the distance between two notes, counted in semitones (half steps): one semitone takes you to the very next key, black or white. Every example starts on middle C (C4).</source>
        <translation>Un intervalo es la distancia entre dos notas, contada en semitonos: un semitono te lleva a la tecla contigua, sea negra o blanca. Todos los ejemplos empiezan en el do central (Do4).</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Interval</source>
        <translation>Intervalo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Semitones</source>
        <translation>Semitonos</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/note_lengths_page.cpp" line="+19"/>
        <source>Whole</source>
        <translation>Redonda</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>semibreve</source>
        <translation>nota entera</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>4 beats</source>
        <translation>4 tiempos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Half</source>
        <translation>Blanca</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>minim</source>
        <translation>media nota</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>2 beats</source>
        <translation>2 tiempos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Quarter</source>
        <translation>Negra</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>crotchet</source>
        <translation>cuarto de nota</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1 beat</source>
        <translation>1 tiempo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Eighth</source>
        <translation>Corchea</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>quaver</source>
        <translation>octavo de nota</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1/2 beat</source>
        <translation>1/2 de tiempo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>16th</source>
        <translation>Semicorchea</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>semiquaver</source>
        <translation>dieciseisavo de nota</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1/4 beat</source>
        <translation>1/4 de tiempo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>32nd</source>
        <translation>Fusa</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>demisemiquaver</source>
        <translation>treintaidosavo de nota</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1/8 beat</source>
        <translation>1/8 de tiempo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>64th</source>
        <translation>Semifusa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>hemidemisemiquaver</source>
        <translation>sesentaicuatroavo de nota</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1/16 beat</source>
        <translation>1/16 de tiempo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>128th</source>
        <translation>Garrapatea</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>semihemidemisemiquaver</source>
        <translation>cientoveintiochoavo de nota</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1/32 beat</source>
        <translation>1/32 de tiempo</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>How long each note and rest lasts, counted in beats when a quarter note gets one beat (as in 4/4 time). Each length is half of the one above it.</source>
        <translation>Cuánto dura cada figura y cada silencio, contado en tiempos cuando la negra vale un tiempo (como en el compás de 4/4). Cada figura dura la mitad que la de arriba.</translation>
    </message>
    <message>
        <location line="+8"/>
        <location filename="../src/ui/exercise/reference/notes_page.cpp" line="-3"/>
        <source>Note</source>
        <translation>Nota</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Rest</source>
        <translation>Silencio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Duration</source>
        <translation>Duración</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 note</source>
        <translation>Nota %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 rest</source>
        <translation>Silencio de %1</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/notes_page.cpp" line="-37"/>
        <source>On a ledger line below the staff</source>
        <translation>En una línea adicional bajo el pentagrama</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Just below the bottom line</source>
        <translation>Justo debajo de la línea inferior</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bottom line (line 1)</source>
        <translation>Línea inferior (1.ª línea)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>First space</source>
        <translation>Primer espacio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Second line: the G clef curls around it</source>
        <translation>Segunda línea: la clave de sol se enrosca en ella</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+5"/>
        <source>Second space</source>
        <translation>Segundo espacio</translation>
    </message>
    <message>
        <location line="-4"/>
        <location line="+5"/>
        <source>Middle line (line 3)</source>
        <translation>Línea central (3.ª línea)</translation>
    </message>
    <message>
        <location line="-4"/>
        <location line="+5"/>
        <source>Third space</source>
        <translation>Tercer espacio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fourth line: between the two dots of the F clef</source>
        <translation>Cuarta línea: entre los dos puntos de la clave de fa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Top space</source>
        <translation>Espacio superior</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Top line (line 5)</source>
        <translation>Línea superior (5.ª línea)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Just above the top line</source>
        <translation>Justo encima de la línea superior</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>On a ledger line above the staff</source>
        <translation>En una línea adicional sobre el pentagrama</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Where the notes from C3 to C5 sit on the staff. Middle C (C4) is written on a short ledger line: below the treble staff, above the bass staff.</source>
        <translation>Dónde se escriben en el pentagrama las notas de Do3 a Do5. El do central (Do4) se escribe en una pequeña línea adicional: debajo del pentagrama en clave de sol y encima del pentagrama en clave de fa.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>On the Staff</source>
        <translation>En el pentagrama</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Where It Sits</source>
        <translation>Dónde se escribe</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Treble Clef&lt;br&gt;&lt;span style=&apos;font-weight:normal; font-size:14px;&apos;&gt;Lines from the bottom: E G B D F (Every Good Boy Does Fine). Spaces: F A C E.&lt;/span&gt;</source>
        <translation>Clave de sol&lt;br&gt;&lt;span style=&apos;font-weight:normal; font-size:14px;&apos;&gt;Líneas, de abajo arriba: Mi Sol Si Re Fa. Espacios: Fa La Do Mi.&lt;/span&gt;</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Bass Clef&lt;br&gt;&lt;span style=&apos;font-weight:normal; font-size:14px;&apos;&gt;Lines from the bottom: G B D F A (Good Boys Do Fine Always). Spaces: A C E G (All Cows Eat Grass).&lt;/span&gt;</source>
        <translation>Clave de fa&lt;br&gt;&lt;span style=&apos;font-weight:normal; font-size:14px;&apos;&gt;Líneas, de abajo arriba: Sol Si Re Fa La. Espacios: La Do Mi Sol.&lt;/span&gt;</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Middle C</source>
        <translation>Do central</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>%1 on the staff</source>
        <translation>%1 en el pentagrama</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/reference_book.cpp" line="+48"/>
        <source>Single Notes Reference</source>
        <translation>Referencia de notas sueltas</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Intervals Reference</source>
        <translation>Referencia de intervalos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Chords Reference</source>
        <translation>Referencia de acordes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Scales Reference</source>
        <translation>Referencia de escalas</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+7"/>
        <source>Tempo Reference</source>
        <translation>Referencia de tempo</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>Note Lengths Reference</source>
        <translation>Referencia de figuras</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Key Signatures Reference</source>
        <translation>Referencia de armaduras</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Loudness Reference</source>
        <translation>Referencia de dinámica</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Note Modifiers Reference</source>
        <translation>Referencia de otros signos</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/scales_page.cpp" line="-73"/>
        <source>Major</source>
        <translation>Mayor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Natural Minor</source>
        <translation>Menor natural</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Melodic Minor</source>
        <translation>Menor melódica</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Melodic Minor (Descending)</source>
        <translation>Menor melódica (descendente)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Harmonic Minor</source>
        <translation>Menor armónica</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pentatonic Major</source>
        <translation>Pentatónica mayor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pentatonic Minor</source>
        <translation>Pentatónica menor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Diminished</source>
        <translation>Disminuida</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Augmented</source>
        <translation>Aumentada</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Blues</source>
        <translation>Blues</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Arabian</source>
        <translation>Árabe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Whole Tone</source>
        <translation>Tonos enteros</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>H</source>
        <comment>a half step (1 semitone)</comment>
        <translation>S</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>W</source>
        <comment>a whole step (2 semitones)</comment>
        <translation>T</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>W+H</source>
        <comment>3 semitones</comment>
        <translation>T+S</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>2W</source>
        <comment>4 semitones</comment>
        <translation>2T</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Every scale starts on middle C (C4). Steps: W = whole step (2 semitones), H = half step (1 semitone), W+H = 3 semitones, 2W = 4 semitones.</source>
        <translation>Todas las escalas empiezan en el do central (Do4). Pasos: T = tono (2 semitonos), S = semitono (1 semitono), T+S = 3 semitonos, 2T = 4 semitonos.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Scale</source>
        <translation>Escala</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Notes and Steps</source>
        <translation>Notas y pasos</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/symbols_page.cpp" line="+19"/>
        <source>Fortississimo</source>
        <translation>Fortississimo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>As loud as possible: louder than fortissimo.</source>
        <translation>Lo más fuerte posible: más fuerte que fortissimo.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fortissimo</source>
        <translation>Fortissimo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Very loud.</source>
        <translation>Muy fuerte.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Forte</source>
        <translation>Forte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Loud (Italian for “strong”).</source>
        <translation>Fuerte (en italiano significa “fuerte”).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mezzo forte</source>
        <translation>Mezzo forte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Moderately loud: a little softer than forte.</source>
        <translation>Medianamente fuerte: un poco más suave que forte.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mezzo piano</source>
        <translation>Mezzo piano</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Moderately soft: a little louder than piano.</source>
        <translation>Medianamente suave: un poco más fuerte que piano.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Piano</source>
        <translation>Piano</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Soft (Italian for “quiet”).</source>
        <translation>Suave (en italiano significa “tranquilo”).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pianissimo</source>
        <translation>Pianissimo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Very soft.</source>
        <translation>Muy suave.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pianississimo</source>
        <translation>Pianississimo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>As soft as possible: softer than pianissimo.</source>
        <translation>Lo más suave posible: más suave que pianissimo.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sforzando</source>
        <translation>Sforzando</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A sudden, strong accent on one note or chord, then back to the loudness around it.</source>
        <translation>Un acento fuerte y repentino en una nota o acorde; después se vuelve a la intensidad de alrededor.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Crescendo</source>
        <translation>Crescendo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Gradually louder, for as long as the opening hairpin (or the word cresc.) lasts.</source>
        <translation>Cada vez más fuerte, mientras dure el regulador que se abre (o la palabra cresc.).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Diminuendo</source>
        <translation>Diminuendo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Gradually softer, for as long as the closing hairpin (or the word dim.) lasts.</source>
        <translation>Cada vez más suave, mientras dure el regulador que se cierra (o la palabra dim.).</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Arpeggio</source>
        <translation>Arpegio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Roll the chord: play its notes quickly one after another, from the bottom up.</source>
        <translation>Desgrana el acorde: toca sus notas rápidamente una tras otra, de abajo arriba.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Tremolo</source>
        <translation>Trémolo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Repeat the note (or alternate two notes) very quickly for its whole length.</source>
        <translation>Repite la nota (o alterna dos notas) muy deprisa durante toda su duración.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Accent</source>
        <translation>Acento</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Play the note louder than the notes around it.</source>
        <translation>Toca la nota más fuerte que las notas de alrededor.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Staccato</source>
        <translation>Staccato</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Short and detached: let go of the key early.</source>
        <translation>Corto y separado: suelta la tecla antes de tiempo.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Staccatissimo</source>
        <translation>Staccatissimo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Very short and sharply detached, shorter than staccato.</source>
        <translation>Muy corto y bien separado, más corto que el staccato.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tenuto</source>
        <translation>Tenuto</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hold the note for its full length, with a little weight.</source>
        <translation>Mantén la nota durante toda su duración, con un poco de peso.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Marcato</source>
        <translation>Marcato</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Strongly marked: louder and more forceful than an accent.</source>
        <translation>Muy marcado: más fuerte y enérgico que un acento.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Legato</source>
        <translation>Legato</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A slur over different notes: play them smoothly connected, without gaps.</source>
        <translation>Una ligadura sobre notas distintas: tócalas bien unidas, sin cortes.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Tie</source>
        <translation>Ligadura de unión</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Joins two notes of the same pitch: play the first and hold it through the second.</source>
        <translation>Une dos notas de la misma altura: toca la primera y mantenla durante la segunda.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pedal Down</source>
        <translation>Pisar el pedal</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Press the sustain (right) pedal.</source>
        <translation>Pisa el pedal de resonancia (el derecho).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pedal Up</source>
        <translation>Soltar el pedal</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Release the sustain pedal.</source>
        <translation>Suelta el pedal de resonancia.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fermata</source>
        <translation>Calderón</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hold the note or rest longer than written, as long as sounds right.</source>
        <translation>Prolonga la nota o el silencio más de lo escrito, lo que suene bien.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Trill</source>
        <translation>Trino</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Alternate quickly between the written note and the note above it.</source>
        <translation>Alterna rápidamente la nota escrita con la nota de encima.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Appoggiatura</source>
        <translation>Apoyatura</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A small leaning note played on the beat; it takes time from the main note, usually half.</source>
        <translation>Una notita de apoyo que se toca en el tiempo; le quita duración a la nota principal, normalmente la mitad.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Acciaccatura</source>
        <translation>Acciaccatura</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A small crossed-out note, crushed in as quickly as possible before the main note.</source>
        <translation>Una notita tachada que se toca lo más rápido posible justo antes de la nota principal.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Ottava Alta</source>
        <translation>Octava alta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>8va: play the notes under the line one octave higher.</source>
        <translation>8va: toca las notas que hay bajo la línea una octava más alta.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ottava Bassa</source>
        <translation>Octava baja</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>8vb: play the notes over the line one octave lower.</source>
        <translation>8vb: toca las notas que hay sobre la línea una octava más baja.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Repeat</source>
        <translation>Repetición</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Go back to the facing repeat sign (or to the beginning) and play the passage again.</source>
        <translation>Vuelve al signo de repetición que mira hacia este (o al principio) y toca el pasaje otra vez.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Volta Brackets</source>
        <translation>Casillas de repetición</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>First and second endings: play ending 1 the first time; on the repeat skip it and play ending 2.</source>
        <translation>Casillas de 1.ª y 2.ª vez: toca la casilla 1 la primera vez; en la repetición, sáltala y toca la casilla 2.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Flat</source>
        <translation>Bemol</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Lowers the note by a half step: the very next key to the left.</source>
        <translation>Baja la nota un semitono: la tecla contigua hacia la izquierda.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Double Flat</source>
        <translation>Doble bemol</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Lowers the note by two half steps (a whole step).</source>
        <translation>Baja la nota dos semitonos (un tono).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sharp</source>
        <translation>Sostenido</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Raises the note by a half step: the very next key to the right.</source>
        <translation>Sube la nota un semitono: la tecla contigua hacia la derecha.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Double Sharp</source>
        <translation>Doble sostenido</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Raises the note by two half steps (a whole step).</source>
        <translation>Sube la nota dos semitonos (un tono).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Natural</source>
        <translation>Becuadro</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancels a sharp or flat: play the plain white key.</source>
        <translation>Anula un sostenido o un bemol: toca la nota natural, la tecla blanca.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Symbol</source>
        <translation>Símbolo</translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../src/ui/exercise/reference/tempo_page.cpp" line="-3"/>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Definition</source>
        <translation>Definición</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Dynamics tell how loudly to play. They are Italian words, written in short form below the staff.</source>
        <translation>Los signos de dinámica indican con qué intensidad tocar. Son palabras italianas que se escriben abreviadas debajo del pentagrama.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Signs written on, above or next to notes that change how they are played.</source>
        <translation>Signos escritos sobre las notas, encima o al lado de ellas, que cambian cómo se tocan.</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/tempo_page.cpp" line="-85"/>
        <source>Slow and solemn (20-40 bpm)</source>
        <translation>Lento y solemne (20-40 ppm)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Very slow (40-60 bpm)</source>
        <translation>Muy lento (40-60 ppm)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Slow and stately (66-76 bpm)</source>
        <translation>Lento y majestuoso (66-76 ppm)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>At a walking pace (76-108 bpm)</source>
        <translation>A ritmo de paseo (76-108 ppm)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Moderately (101-110 bpm)</source>
        <translation>Moderado (101-110 ppm)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fast and bright (120-139 bpm)</source>
        <translation>Rápido y alegre (120-139 ppm)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Lively and fast (130-155 bpm)</source>
        <translation>Vivo y rápido (130-155 ppm)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Very fast (168-200 bpm)</source>
        <translation>Muy rápido (168-200 ppm)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Extremely fast (more than 200 bpm)</source>
        <translation>Rapidísimo (más de 200 ppm)</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Tempo markings tell how fast the beat goes; bpm means beats per minute. The numbers are a guide, not a rule.</source>
        <translation>Las indicaciones de tempo dicen lo rápido que va el pulso; ppm significa pulsos por minuto. Los números son una orientación, no una regla.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Tempo</source>
        <translation>Tempo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Description</source>
        <translation>Descripción</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/key_signatures_page.cpp" line="+15"/>
        <source>No sharps or flats</source>
        <translation>Sin sostenidos ni bemoles</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>1 sharp</source>
        <translation>1 sostenido</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 sharps</source>
        <translation>%1 sostenidos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1 flat</source>
        <translation>1 bemol</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 flats</source>
        <translation>%1 bemoles</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The sharps or flats at the start of every staff hold for the whole piece. Each signature belongs to a major key and to its relative minor (lower-case letter), three semitones below. Sharps always come in the order F C G D A E B, flats in the order B E A D G C F.</source>
        <translation>Los sostenidos o bemoles del principio de cada pentagrama valen para toda la pieza. Cada armadura corresponde a una tonalidad mayor y a su relativa menor, tres semitonos más abajo. Los sostenidos aparecen siempre en el orden Fa Do Sol Re La Mi Si, y los bemoles en el orden Si Mi La Re Sol Do Fa.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Treble Clef</source>
        <translation>Clave de sol</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bass Clef</source>
        <translation>Clave de fa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Key</source>
        <translation>Tonalidad</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sharps or Flats</source>
        <translation>Sostenidos o bemoles</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>%1 major, %2 minor</source>
        <translation>%1 mayor, %2 menor</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 in the treble clef</source>
        <translation>%1 en clave de sol</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 in the bass clef</source>
        <translation>%1 en clave de fa</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/reference_sheet.cpp" line="+296"/>
        <source>Play</source>
        <translation>Tocar</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Play %1</source>
        <translation>Tocar %1</translation>
    </message>
</context>
<context>
    <name>UI::ReferencePrinter</name>
    <message>
        <location filename="../src/ui/exercise/reference/reference_printer.cpp" line="+36"/>
        <source>Cantorela Reference</source>
        <translation>Referencia de Cantorela</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>%1 | version %2</source>
        <translation>%1 | versión %2</translation>
    </message>
    <message>
        <location line="+71"/>
        <source>PDF files (*.pdf)</source>
        <translation>Archivos PDF (*.pdf)</translation>
    </message>
</context>
<context>
    <name>UI::SaveWarningBar</name>
    <message>
        <location filename="../src/ui/save_warning_bar.cpp" line="+18"/>
        <source>Saving problem</source>
        <translation>Problema al guardar</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close the saving warning</source>
        <translation>Cerrar el aviso de guardado</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Your answers could not be saved: the disk is full. They are kept until they can be.</source>
        <translation>No se han podido guardar tus respuestas: el disco está lleno. Se conservan hasta que se puedan guardar.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Your answers could not be saved: the folder %1 cannot be written. They are kept until they can be.</source>
        <translation>No se han podido guardar tus respuestas: no se puede escribir en la carpeta %1. Se conservan hasta que se puedan guardar.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Your answers could not be saved in %1 (%2). They are kept until they can be.</source>
        <translation>No se han podido guardar tus respuestas en %1 (%2). Se conservan hasta que se puedan guardar.</translation>
    </message>
</context>
<context>
    <name>UI::ScoreBoard</name>
    <message>
        <location filename="../src/ui/widgets/score_board.cpp" line="+102"/>
        <source>Score</source>
        <translation>Partitura</translation>
    </message>
    <message>
        <location line="+262"/>
        <source>Page %1 of %2</source>
        <translation>Página %1 de %2</translation>
    </message>
</context>
<context>
    <name>UI::SectionEndDialog</name>
    <message>
        <location filename="../src/ui/dialogs/section_end_dialog.cpp" line="+40"/>
        <source>No answers were given</source>
        <translation>No se dio ninguna respuesta</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Keep practising</source>
        <translation>Sigue practicando</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Well done</source>
        <translation>Bien hecho</translation>
    </message>
    <message>
        <location line="+64"/>
        <source>Total score %1%: %2</source>
        <translation>Puntuación total %1&#xa0;%: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1 right answer, %1 wrong.</source>
        <translation>Aciertos: 1. Errores: %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 right answers, %2 wrong.</source>
        <translation>Aciertos: %1. Errores: %2.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Total score</source>
        <translation>Puntuación total</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>%1%</source>
        <translation>%1&#xa0;%</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Total score %1: %2</source>
        <translation>Puntuación total %1: %2</translation>
    </message>
</context>
<context>
    <name>UI::SectionSettingsTab</name>
    <message>
        <location filename="../src/ui/settings/section_settings_tab.cpp" line="+24"/>
        <location line="+3"/>
        <source>Single Notes</source>
        <translation>Notas sueltas</translation>
    </message>
    <message>
        <location line="-2"/>
        <location line="+3"/>
        <source>Intervals</source>
        <translation>Intervalos</translation>
    </message>
    <message>
        <location line="-2"/>
        <location line="+3"/>
        <source>Chords</source>
        <translation>Acordes</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/settings/section_settings_tab_switches.cpp" line="+203"/>
        <source>Scales</source>
        <translation>Escalas</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+3"/>
        <source>Tempo</source>
        <translation>Tempo</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Note Lengths</source>
        <translation>Figuras</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Key Signatures</source>
        <translation>Armaduras</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Loudness</source>
        <translation>Dinámica</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Note Modifiers</source>
        <translation>Otros signos</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>%1 settings</source>
        <translation>Ajustes de %1</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Range of keys</source>
        <translation>Rango de teclas</translation>
    </message>
    <message numerus="yes">
        <location line="+22"/>
        <source>%n semitone(s)</source>
        <translation>
            <numerusform>%n semitono</numerusform>
            <numerusform>%n semitonos</numerusform>
        </translation>
    </message>
    <message>
        <location line="+17"/>
        <source>At least one of “%1” stays on, or there would be nothing to ask.</source>
        <translation>Al menos una opción de “%1” sigue activada; si no, no habría nada que preguntar.</translation>
    </message>
    <message>
        <location line="+64"/>
        <source>These settings leave nothing to ask in this section. Widen the range of keys or switch more on.</source>
        <translation>Con estos ajustes no queda nada que preguntar en esta sección. Amplía el rango de teclas o activa más opciones.</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Not changed: every section would be off. At least one section of the lesson needs questions.</source>
        <translation>Sin cambios: todas las secciones quedarían desactivadas. Al menos una sección de la lección necesita preguntas.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Not changed: no key of this range has the colour asked for. Widen the range or allow the other keys.</source>
        <translation>Sin cambios: ninguna tecla de este rango tiene el color pedido. Amplía el rango o permite las otras teclas.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Not changed: the smallest interval would be larger than the largest one.</source>
        <translation>Sin cambios: el intervalo más pequeño sería mayor que el más grande.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not changed: no interval of these sizes fits this range of keys. Widen the range or the sizes.</source>
        <translation>Sin cambios: ningún intervalo de estos tamaños cabe en este rango de teclas. Amplía el rango o los tamaños.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not changed: no chord of these types and inversions has its root in this range of keys.</source>
        <translation>Sin cambios: ningún acorde de estos tipos e inversiones tiene su fundamental en este rango de teclas.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not changed: no scale of these kinds starts in this range of keys.</source>
        <translation>Sin cambios: ninguna escala de estos tipos empieza en este rango de teclas.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not changed: no piece is played in Prestissimo, so at least one other tempo stays on.</source>
        <translation>Sin cambios: no hay ninguna pieza en Prestissimo, así que al menos otro tempo sigue activado.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not changed: rests need a note length to go with; keep one length on.</source>
        <translation>Sin cambios: los silencios necesitan una figura que los acompañe; deja al menos una figura activada.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not changed: this section would have nothing to ask.</source>
        <translation>Sin cambios: esta sección no tendría nada que preguntar.</translation>
    </message>
    <message>
        <location filename="../src/ui/settings/section_settings_tab_switches.cpp" line="-175"/>
        <source>Major triad</source>
        <translation>Tríada mayor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor triad</source>
        <translation>Tríada menor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major sixth</source>
        <translation>Mayor con sexta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor sixth</source>
        <translation>Menor con sexta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major seventh</source>
        <translation>Séptima mayor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor seventh</source>
        <translation>Menor con séptima</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dominant seventh</source>
        <translation>Séptima de dominante</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Suspended second</source>
        <translation>Suspendido de segunda</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Suspended fourth</source>
        <translation>Suspendido de cuarta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sixth, suspended second</source>
        <translation>Sexta, suspendido de segunda</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sixth, suspended fourth</source>
        <translation>Sexta, suspendido de cuarta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Seventh, suspended second</source>
        <translation>Séptima, suspendido de segunda</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Seventh, suspended fourth</source>
        <translation>Séptima, suspendido de cuarta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Augmented</source>
        <translation>Aumentado</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Augmented sixth</source>
        <translation>Aumentado con sexta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Augmented seventh</source>
        <translation>Aumentado con séptima</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Diminished</source>
        <translation>Disminuido</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Diminished seventh</source>
        <translation>Séptima disminuida</translation>
    </message>
    <message>
        <location line="+125"/>
        <source>Chord types</source>
        <translation>Tipos de acorde</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Written as %1</source>
        <translation>Se escribe %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Inversions</source>
        <translation>Inversiones</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Root position (always asked)</source>
        <translation>Posición fundamental (siempre se pregunta)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>First inversion</source>
        <translation>Primera inversión</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Second inversion</source>
        <translation>Segunda inversión</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Playing and writing</source>
        <translation>Cómo se toca y se escribe</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Arpeggiated</source>
        <translation>Arpegiado</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The chord&apos;s notes are played one after the other</source>
        <translation>Las notas del acorde suenan una tras otra</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Chord symbols (play Cmaj7 from its name)</source>
        <translation>Símbolos de acorde (toca Cmaj7 por su nombre)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Questions show a chord symbol, and the chord is played on the keys</source>
        <translation>Las preguntas muestran un símbolo de acorde y el acorde se toca en las teclas</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Direction</source>
        <translation>Dirección</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ascending</source>
        <translation>Ascendente</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Descending</source>
        <translation>Descendente</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Modes</source>
        <translation>Modos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Apply different scale modes</source>
        <translation>Usar distintos modos de la escala</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Tempo markings</source>
        <translation>Indicaciones de tempo</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Prestissimo (no pieces)</source>
        <translation>Prestissimo (sin piezas)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No piece is played in Prestissimo: it asks nothing by itself</source>
        <translation>No hay ninguna pieza en Prestissimo: por sí solo no pregunta nada</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Note lengths</source>
        <translation>Figuras</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Key signatures</source>
        <translation>Armaduras</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Loudness marks</source>
        <translation>Signos de dinámica</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Note modifiers</source>
        <translation>Otros signos</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Rests</source>
        <translation>Silencios</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Rests of these lengths too</source>
        <translation>También los silencios de estas figuras</translation>
    </message>
</context>
<context>
    <name>UI::SoundCheckDialog</name>
    <message>
        <location filename="../src/ui/dialogs/sound_check_dialog.cpp" line="+35"/>
        <source>Note %1</source>
        <translation>Nota %1</translation>
    </message>
    <message>
        <location line="+23"/>
        <location line="+3"/>
        <source>Test my keyboard and sound</source>
        <translation>Probar mi teclado y el sonido</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Keys you press</source>
        <translation>Teclas que pulsas</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+4"/>
        <source>Play a test tone</source>
        <translation>Tocar un tono de prueba</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plays A4 for a second through the sound output.</source>
        <translation>Toca un La4 durante un segundo por la salida de sonido.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Press a key to measure how soon it sounds.</source>
        <translation>Pulsa una tecla para medir cuánto tarda en sonar.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Key to sound is measured with the built-in synthesizer.</source>
        <translation>El tiempo de la tecla al sonido se mide con el sintetizador integrado.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The sound comes late enough to feel. A shorter audio period, a low-latency audio server or JACK brings it closer to your fingers.</source>
        <translation>El sonido llega con un retraso que se nota. Un periodo de audio más corto, un servidor de audio de baja latencia o JACK lo acercan a tus dedos.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>No MIDI device plugged in.</source>
        <translation>No hay ningún dispositivo MIDI conectado.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plug in a MIDI keyboard to test it.</source>
        <translation>Conecta un teclado MIDI para probarlo.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Listening to %1.</source>
        <translation>Escuchando %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Press keys on your MIDI keyboard.</source>
        <translation>Pulsa teclas en tu teclado MIDI.</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>%1, velocity %2</source>
        <translation>%1, velocidad %2</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Key to sound: %1 ms (audio buffer %L2 ms, audio server %L3 ms)</source>
        <translation>De la tecla al sonido: %1 ms (búfer de audio %L2 ms, servidor de audio %L3 ms)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Key to sound: %1 ms (audio buffer %L2 ms)</source>
        <translation>De la tecla al sonido: %1 ms (búfer de audio %L2 ms)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1: %L2 ms from the key reaching the program to the synthesizer starting it</source>
        <translation>%1: %L2 ms desde que la tecla llega al programa hasta que el sintetizador la hace sonar</translation>
    </message>
</context>
<context>
    <name>UI::SpeakerWidget</name>
    <message>
        <location filename="../src/ui/exercise/speaker_widget.cpp" line="+22"/>
        <source>Listen</source>
        <translation>Escucha</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+23"/>
        <source>The question is heard, not shown.</source>
        <translation>La pregunta se escucha, no se ve.</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>The question is playing.</source>
        <translation>La pregunta está sonando.</translation>
    </message>
</context>
<context>
    <name>UI::SplashDialog</name>
    <message>
        <location filename="../src/ui/dialogs/splash_dialog.cpp" line="+31"/>
        <source>Starting…</source>
        <translation>Iniciando…</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Music reading and ear training</source>
        <translation>Lectura musical y entrenamiento auditivo</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Version %1</source>
        <translation>Versión %1</translation>
    </message>
</context>
<context>
    <name>UI::StatisticsPane</name>
    <message>
        <location filename="../src/ui/exercise/statistics_pane.cpp" line="+48"/>
        <source>notes</source>
        <translation>notas</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>intervals</source>
        <translation>intervalos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>chords</source>
        <translation>acordes</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>scales</source>
        <translation>escalas</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>tempo</source>
        <translation>tempo</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>note lengths</source>
        <translation>figuras</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>key signatures</source>
        <translation>armaduras</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>loudness</source>
        <translation>dinámica</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>note modifiers</source>
        <translation>otros signos</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>Mistakes and progress</source>
        <translation>Errores y progreso</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Common mistakes</source>
        <translation>Errores frecuentes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Progress</source>
        <translation>Progreso</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+2"/>
        <location line="+286"/>
        <location line="+27"/>
        <location line="+19"/>
        <location line="+8"/>
        <source>Print worksheet</source>
        <translation>Imprimir hoja de ejercicios</translation>
    </message>
    <message>
        <location line="-339"/>
        <source>A worksheet of the items of this section you find hardest, with an answer key</source>
        <translation>Una hoja de ejercicios con los elementos de esta sección que más te cuestan, con las soluciones</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Print…</source>
        <translation>Imprimir…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Save as PDF…</source>
        <translation>Guardar como PDF…</translation>
    </message>
    <message>
        <location line="+78"/>
        <source>This is your score for %1.</source>
        <translation>Esta es tu puntuación en %1.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>
For details, hover over a keyboard note below.</source>
        <translation>
Para ver los detalles, pasa el puntero por una nota del teclado de abajo.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;nbsp;&amp;nbsp;&amp;nbsp;This is your score for all %1 within octave &lt;b style=&apos;color:blue; font-size:18px;&apos;&gt;%2&lt;/b&gt;&lt;img src=&apos;:/PIX/pixmap/pointer.png&apos;/&gt;&lt;br&gt;</source>
        <translation>&amp;nbsp;&amp;nbsp;&amp;nbsp;Esta es tu puntuación en %1 dentro de la octava &lt;b style=&apos;color:blue; font-size:18px;&apos;&gt;%2&lt;/b&gt;&lt;img src=&apos;:/PIX/pixmap/pointer.png&apos;/&gt;&lt;br&gt;</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>View History</source>
        <translation>Ver historial</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View quiz statistics</source>
        <translation>Ver estadísticas de la prueba</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View lesson statistics</source>
        <translation>Ver estadísticas de la lección</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Clear History</source>
        <translation>Borrar historial</translation>
    </message>
    <message>
        <location line="+70"/>
        <source>Nothing answered within this octave yet.</source>
        <translation>Todavía no has respondido nada en esta octava.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nothing answered in this section yet.</source>
        <translation>Todavía no has respondido nada en esta sección.</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>Asked: %1</source>
        <translation>Se pedía: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>You answered: %1</source>
        <translation>Tu respuesta: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Note Trainer</source>
        <translation>Entrenador de notas</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Ear Trainer</source>
        <translation>Entrenador auditivo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Music Symbols</source>
        <translation>Símbolos musicales</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Cantorela worksheet.pdf</source>
        <translation>Hoja de ejercicios de Cantorela.pdf</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cantorela worksheet - %1.pdf</source>
        <translation>Hoja de ejercicios de Cantorela - %1.pdf</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>There are no weak spots in %1 yet. Answer some of its questions, and the worksheet will gather the ones you found hardest.</source>
        <translation>Todavía no hay puntos débiles en %1. Responde algunas de sus preguntas y la hoja de ejercicios reunirá las que más te cuesten.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>this section</source>
        <translation>esta sección</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>The items of %1 are only heard: there is nothing to put on paper.</source>
        <translation>Los elementos de %1 solo se oyen: no hay nada que poner en papel.</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>The worksheet could not be printed.
%1</source>
        <translation>No se ha podido imprimir la hoja de ejercicios.
%1</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+12"/>
        <source>Save worksheet as PDF</source>
        <translation>Guardar la hoja de ejercicios como PDF</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>PDF files (*.pdf)</source>
        <translation>Archivos PDF (*.pdf)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The worksheet could not be saved as %1.
%2</source>
        <translation>No se ha podido guardar la hoja de ejercicios como %1.
%2</translation>
    </message>
</context>
<context>
    <name>UI::TrainerSettingsPage</name>
    <message>
        <location filename="../src/ui/settings/trainer_settings_page.cpp" line="+20"/>
        <source>Note Trainer settings</source>
        <translation>Ajustes del entrenador de notas</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ear Trainer settings</source>
        <translation>Ajustes del entrenador auditivo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Music Symbols settings</source>
        <translation>Ajustes de símbolos musicales</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>Settings of the trainer</source>
        <translation>Ajustes del entrenador</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Settings cannot be changed in a quiz mode.</source>
        <translation>Los ajustes no se pueden cambiar durante una prueba.</translation>
    </message>
</context>
<context>
    <name>UI::Worksheet</name>
    <message>
        <location filename="../src/ui/exercise/worksheet.cpp" line="+307"/>
        <source>Worksheet: %1 — %2</source>
        <translation>Hoja de ejercicios: %1 — %2</translation>
    </message>
    <message>
        <location line="+64"/>
        <source>There is no printer to print the worksheet on.</source>
        <translation>No hay ninguna impresora en la que imprimir la hoja de ejercicios.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The worksheet could not be printed: printing could not begin.</source>
        <translation>No se ha podido imprimir la hoja de ejercicios: la impresión no ha podido empezar.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The worksheet could not be printed: page %1 could not be started.</source>
        <translation>No se ha podido imprimir la hoja de ejercicios: no se ha podido empezar la página %1.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The worksheet could not be printed.</source>
        <translation>No se ha podido imprimir la hoja de ejercicios.</translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+21"/>
        <source>The worksheet could not be saved as %1: %2</source>
        <translation>No se ha podido guardar la hoja de ejercicios como %1: %2</translation>
    </message>
    <message>
        <location line="+57"/>
        <source>Name:</source>
        <translation>Nombre:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Date:</source>
        <translation>Fecha:</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Write the name of each item in the box under it.</source>
        <translation>Escribe el nombre de cada elemento en la casilla de debajo.</translation>
    </message>
    <message>
        <location line="+57"/>
        <source>Answer Key</source>
        <translation>Soluciones</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Page %1 of %2</source>
        <translation>Página %1 de %2</translation>
    </message>
</context>
<context>
    <name>ex_difficulty_level_dialog</name>
    <message>
        <location filename="../src/ui/dialogs/difficulty_level_dialog.ui" line="+14"/>
        <location line="+138"/>
        <location line="+51"/>
        <source>Please select difficulty level</source>
        <translation>Elige el nivel de dificultad</translation>
    </message>
    <message>
        <location line="-186"/>
        <source>Difficulty level</source>
        <translation>Nivel de dificultad</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Choose the difficulty level of the lesson&apos;s questions.</source>
        <translation>Elige el nivel de dificultad de las preguntas de la lección.</translation>
    </message>
    <message>
        <location line="+211"/>
        <location line="+3"/>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Close the dialog without starting a lesson (Escape).</source>
        <translation>Cerrar la ventana sin empezar ninguna lección (Esc).</translation>
    </message>
    <message>
        <location line="+35"/>
        <location line="+3"/>
        <source>Level 1</source>
        <translation>Nivel 1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Start with the questions of difficulty level 1 (key 1).</source>
        <translation>Empezar con las preguntas del nivel de dificultad 1 (tecla 1).</translation>
    </message>
    <message>
        <location line="+32"/>
        <location line="+3"/>
        <source>Level 2</source>
        <translation>Nivel 2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Start with the questions of difficulty level 2 (key 2).</source>
        <translation>Empezar con las preguntas del nivel de dificultad 2 (tecla 2).</translation>
    </message>
    <message>
        <location line="+32"/>
        <location line="+3"/>
        <source>Level 3</source>
        <translation>Nivel 3</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Start with the questions of difficulty level 3 (key 3).</source>
        <translation>Empezar con las preguntas del nivel de dificultad 3 (tecla 3).</translation>
    </message>
    <message>
        <location line="+32"/>
        <location line="+3"/>
        <source>Level 4</source>
        <translation>Nivel 4</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Start with the questions of difficulty level 4 (key 4).</source>
        <translation>Empezar con las preguntas del nivel de dificultad 4 (tecla 4).</translation>
    </message>
    <message>
        <location line="+32"/>
        <location line="+3"/>
        <source>Level 5</source>
        <translation>Nivel 5</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Start with the questions of difficulty level 5 (key 5).</source>
        <translation>Empezar con las preguntas del nivel de dificultad 5 (tecla 5).</translation>
    </message>
    <message>
        <location line="+19"/>
        <location line="+34"/>
        <source>Use your custom settings</source>
        <translation>Usar tus ajustes personalizados</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+6"/>
        <source>Custom</source>
        <translation>Personalizado</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>Start with your own question settings.</source>
        <translation>Empezar con tus propios ajustes de preguntas.</translation>
    </message>
    <message>
        <location line="+26"/>
        <location line="+6"/>
        <source>Do not show next time</source>
        <translation>No mostrar la próxima vez</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>Start learning lessons at once from now on, without asking for the level.</source>
        <translation>A partir de ahora, empezar las lecciones de aprendizaje directamente, sin preguntar el nivel.</translation>
    </message>
</context>
<context>
    <name>ex_section_end_dialog</name>
    <message>
        <location filename="../src/ui/dialogs/section_end_dialog.ui" line="+14"/>
        <location line="+147"/>
        <location line="+3"/>
        <source>Total score.</source>
        <translation>Puntuación total.</translation>
    </message>
    <message>
        <location line="-147"/>
        <source>Section end</source>
        <translation>Fin de la sección</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Your total score for the lesson, with the choices to continue, repeat the lesson or review the statistics.</source>
        <translation>Tu puntuación total de la lección, con las opciones de continuar, repetir la lección o revisar las estadísticas.</translation>
    </message>
    <message>
        <location line="+117"/>
        <location line="+37"/>
        <source>Total score</source>
        <translation>Puntuación total</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Result</source>
        <translation>Resultado</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Right and wrong answers</source>
        <translation>Respuestas correctas e incorrectas</translation>
    </message>
    <message>
        <location line="+28"/>
        <location line="+6"/>
        <source>Continue</source>
        <translation>Continuar</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>Leave the lesson and go back to the trainers.</source>
        <translation>Salir de la lección y volver a los entrenadores.</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+6"/>
        <source>Repeat</source>
        <translation>Repetir</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>Run the lesson again.</source>
        <translation>Hacer la lección otra vez.</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+6"/>
        <source>Review statistics</source>
        <translation>Ver estadísticas</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>Show the statistics of your answers.</source>
        <translation>Mostrar las estadísticas de tus respuestas.</translation>
    </message>
</context>
</TS>
