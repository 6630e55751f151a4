<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
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
        <translation>Aufruf: cantorela [Optionen]
Cantorela, ein Trainer für Notenlesen und Gehörbildung für Klavierschüler.

Optionen:
  -nofs          das Hauptfenster als normales Fenster statt im Vollbild zeigen
  -display N     das Hauptfenster auf Bildschirm N zeigen (ab 0 gezählt)
  -h, --help     diese Hilfe ausgeben und beenden
  --version      die Version ausgeben und beenden

Qts eigene Optionen (-platform, -style, …) werden ebenfalls angenommen; den X-Server
wählst du mit der Umgebungsvariablen DISPLAY.
</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>cantorela: no display found (DISPLAY and WAYLAND_DISPLAY are not set).
Start it from a desktop session, or use &apos;make run&apos;, which starts a virtual display when there is none.
</source>
        <translation>cantorela: keine Anzeige gefunden (DISPLAY und WAYLAND_DISPLAY sind nicht gesetzt).
Starte Cantorela aus einer Desktop-Sitzung oder mit „make run“, das eine virtuelle Anzeige startet, wenn es keine gibt.
</translation>
    </message>
</context>
<context>
    <name>Application</name>
    <message>
        <location filename="../src/app/application.cpp" line="+120"/>
        <source>Reading your progress…</source>
        <translation>Dein Fortschritt wird geladen …</translation>
    </message>
    <message>
        <location filename="../src/app/main.cpp" line="+89"/>
        <source>Starting the sound and looking for MIDI keyboards…</source>
        <translation>Der Klang wird gestartet, MIDI-Keyboards werden gesucht …</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Preparing the trainers…</source>
        <translation>Die Trainer werden vorbereitet …</translation>
    </message>
</context>
<context>
    <name>Core::AnswerLogMonitor</name>
    <message>
        <location filename="../src/core/exercise/exercise_catalog.cpp" line="+101"/>
        <source>Your answers cannot be logged: the disk is full.</source>
        <translation>Deine Antworten können nicht aufgezeichnet werden: Der Datenträger ist voll.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Your answers cannot be logged: %1 cannot be written.</source>
        <translation>Deine Antworten können nicht aufgezeichnet werden: In %1 kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Your answers cannot be logged (%1).</source>
        <translation>Deine Antworten können nicht aufgezeichnet werden (%1).</translation>
    </message>
</context>
<context>
    <name>Core::DataFile</name>
    <message>
        <location filename="../src/core/data_file.cpp" line="+68"/>
        <source>the folder %1 cannot be made</source>
        <translation>der Ordner %1 kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>Core::ExerciseCatalog</name>
    <message>
        <location filename="../src/core/exercise/exercise_catalog.cpp" line="-87"/>
        <source>Note Trainer</source>
        <translation>Notentrainer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Learn reading notes</source>
        <translation>Notenlesen lernen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Quiz yourself on reading notes</source>
        <translation>Teste dich im Notenlesen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ear Trainer</source>
        <translation>Gehörtrainer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Learn recognizing notes by ear</source>
        <translation>Töne nach Gehör erkennen lernen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Quiz yourself on recognizing notes by ear</source>
        <translation>Teste dich im Erkennen nach Gehör</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Music Symbols</source>
        <translation>Musikzeichen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Learn various music symbols</source>
        <translation>Verschiedene Musikzeichen lernen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Quiz yourself on music symbols</source>
        <translation>Teste dich bei den Musikzeichen</translation>
    </message>
</context>
<context>
    <name>Core::ExerciseEarTrainer</name>
    <message>
        <location filename="../src/core/exercise/exercise_ear_trainer.cpp" line="+47"/>
        <source>Single Notes</source>
        <translation>Einzelne Noten</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Single Notes</source>
        <translation>Einzelne Noten üben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Intervals</source>
        <translation>Intervalle</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Intervals</source>
        <translation>Intervalle üben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Chords</source>
        <translation>Akkorde</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Chords</source>
        <translation>Akkorde üben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Scales</source>
        <translation>Tonleitern</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Scales</source>
        <translation>Tonleitern üben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tempo</source>
        <translation>Tempo</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Tempo</source>
        <translation>Tempo üben</translation>
    </message>
</context>
<context>
    <name>Core::ExerciseNoteTrainer</name>
    <message>
        <location filename="../src/core/exercise/exercise_note_trainer.cpp" line="+48"/>
        <source>Single Notes</source>
        <translation>Einzelne Noten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Train Single Notes</source>
        <translation>Einzelne Noten üben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Intervals</source>
        <translation>Intervalle</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Train Intervals</source>
        <translation>Intervalle üben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Chords</source>
        <translation>Akkorde</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Train Chords</source>
        <translation>Akkorde üben</translation>
    </message>
</context>
<context>
    <name>Core::ExerciseStatistics</name>
    <message>
        <location filename="../src/core/exercise/exercise_statistics.cpp" line="+215"/>
        <source>%1 could not be read and could not be kept aside; not replaced</source>
        <translation>%1 konnte weder gelesen noch beiseitegelegt werden und wurde daher nicht ersetzt</translation>
    </message>
</context>
<context>
    <name>Core::ExerciseSymbolTrainer</name>
    <message>
        <location filename="../src/core/exercise/exercise_symbol_trainer.cpp" line="+28"/>
        <source>Whole</source>
        <translation>Ganze</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Whole
Rest</source>
        <translation>Pause
(Ganze)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Half</source>
        <translation>Halbe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Half
Rest</source>
        <translation>Pause
(Halbe)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Quarter</source>
        <translation>Viertel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Quarter
Rest</source>
        <translation>Pause
(Viertel)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Eighth</source>
        <translation>Achtel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Eighth
Rest</source>
        <translation>Pause
(Achtel)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sixteenth</source>
        <translation>Sechzehntel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sixteenth
Rest</source>
        <translation>Pause
(Sechzehntel)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Thirty Second</source>
        <translation>Zweiunddreißigstel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Thirty Second
Rest</source>
        <translation>Pause
(Zweiunddreißigstel)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sixty Fourth</source>
        <translation>Vierundsechzigstel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sixty Fourth
Rest</source>
        <translation>Pause
(Vierundsechzigstel)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>One Twenty Eighth</source>
        <translation>128tel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>One Twenty Eighth
Rest</source>
        <translation>Pause
(128tel)</translation>
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
        <translation>Mezzopiano</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mezzo-forte</source>
        <translation>Mezzoforte</translation>
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
        <translation>Akzent</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fermata</source>
        <translation>Fermate</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Flat</source>
        <translation>b</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tie</source>
        <translation>Haltebogen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Marcato</source>
        <translation>Marcato</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Natural</source>
        <translation>Auflösungszeichen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ottava Alta</source>
        <translation>Ottava alta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ottava Bassa</source>
        <translation>Ottava bassa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pedal Down</source>
        <translation>Pedal treten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pedal Up</source>
        <translation>Pedal lösen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Repeat</source>
        <translation>Wiederholungszeichen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sharp</source>
        <translation>Kreuz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Volta</source>
        <translation>Volta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tremolo</source>
        <translation>Tremolo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Trill</source>
        <translation>Triller</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Appoggiatura</source>
        <translation>Langer Vorschlag</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Double Flat</source>
        <translation>Doppel-b</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Double Sharp</source>
        <translation>Doppelkreuz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Arpeggio</source>
        <translation>Arpeggio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tenuto</source>
        <translation>Tenuto</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Slur</source>
        <translation>Bindebogen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Acciaccatura</source>
        <translation>Kurzer Vorschlag</translation>
    </message>
    <message>
        <location line="+93"/>
        <source>Note Lengths</source>
        <translation>Notenwerte</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Note Lengths</source>
        <translation>Notenwerte üben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Key Signatures</source>
        <translation>Vorzeichen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Key Signatures</source>
        <translation>Vorzeichen üben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tempo</source>
        <translation>Tempo</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Tempo</source>
        <translation>Tempo üben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Loudness</source>
        <translation>Lautstärke</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Loudness</source>
        <translation>Lautstärke üben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Note Modifiers</source>
        <translation>Weitere Zeichen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Train Note Modifiers</source>
        <translation>Weitere Zeichen üben</translation>
    </message>
</context>
<context>
    <name>Core::InstrumentList</name>
    <message>
        <location filename="../src/core/midi/instrument_list.cpp" line="+22"/>
        <source>Acoustic Grand Piano</source>
        <translation>Konzertflügel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Bright Acoustic Piano</source>
        <translation>Helles Klavier</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Electric Grand Piano</source>
        <translation>Elektrischer Flügel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Honky-tonk Piano</source>
        <translation>Honky-Tonk-Klavier</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Electric Piano 1</source>
        <translation>E-Piano 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Electric Piano 2</source>
        <translation>E-Piano 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Harpsichord</source>
        <translation>Cembalo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Clavi</source>
        <translation>Clavinet</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Drawbar Organ</source>
        <translation>Zugriegelorgel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Percussive Organ</source>
        <translation>Perkussive Orgel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Rock Organ</source>
        <translation>Rockorgel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Church Organ</source>
        <translation>Kirchenorgel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reed Organ</source>
        <translation>Harmonium</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Accordion</source>
        <translation>Akkordeon</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Harmonica</source>
        <translation>Mundharmonika</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Tango Accordion</source>
        <translation>Tango-Akkordeon</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Acoustic Guitar (nylon)</source>
        <translation>Konzertgitarre (Nylon)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Acoustic Guitar (steel)</source>
        <translation>Westerngitarre (Stahl)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Electric Guitar (jazz)</source>
        <translation>E-Gitarre (Jazz)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Electric Guitar (clean)</source>
        <translation>E-Gitarre (unverzerrt)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Electric Guitar (muted)</source>
        <translation>E-Gitarre (gedämpft)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Violin</source>
        <translation>Violine</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Viola</source>
        <translation>Bratsche</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cello</source>
        <translation>Cello</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Trumpet</source>
        <translation>Trompete</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Trombone</source>
        <translation>Posaune</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Tuba</source>
        <translation>Tuba</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Muted Trumpet</source>
        <translation>Gedämpfte Trompete</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>French Horn</source>
        <translation>Waldhorn</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Brass Section</source>
        <translation>Blechbläsersatz</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>SynthBrass 1</source>
        <translation>Synth-Blech 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>SynthBrass 2</source>
        <translation>Synth-Blech 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Soprano Sax</source>
        <translation>Sopransaxofon</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Alto Sax</source>
        <translation>Altsaxofon</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tenor Sax</source>
        <translation>Tenorsaxofon</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Baritone Sax</source>
        <translation>Baritonsaxofon</translation>
    </message>
</context>
<context>
    <name>Core::MidiFile</name>
    <message>
        <location filename="../src/core/midi/midi_file.cpp" line="+35"/>
        <source>Error opening midi file.</source>
        <translation>Fehler beim Öffnen der MIDI-Datei.</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+14"/>
        <location line="+6"/>
        <source>Error loading midi file.</source>
        <translation>Fehler beim Laden der MIDI-Datei.</translation>
    </message>
    <message>
        <location line="-14"/>
        <source>Error reading midi file.</source>
        <translation>Fehler beim Lesen der MIDI-Datei.</translation>
    </message>
</context>
<context>
    <name>Core::MidiFileValidator</name>
    <message>
        <location filename="../src/core/midi/midi_file_validator.cpp" line="+123"/>
        <source>bad or truncated delta time</source>
        <translation>ungültige oder abgeschnittene Deltazeit</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>track too long</source>
        <translation>Spur zu lang</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+40"/>
        <source>track ends without end-of-track event</source>
        <translation>Spur endet ohne Spurende-Ereignis</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>data byte without a running status</source>
        <translation>Datenbyte ohne laufenden Status</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+13"/>
        <source>bad or truncated channel message</source>
        <translation>ungültige oder abgeschnittene Kanalnachricht</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>bad or truncated sysex</source>
        <translation>ungültige oder abgeschnittene SysEx-Nachricht</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>escaped or system event in a track</source>
        <translation>Escape- oder Systemereignis in einer Spur</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>bad meta event type</source>
        <translation>ungültiger Typ eines Meta-Ereignisses</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+3"/>
        <source>bad meta event length</source>
        <translation>ungültige Länge eines Meta-Ereignisses</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>truncated meta event</source>
        <translation>abgeschnittenes Meta-Ereignis</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>zero tempo</source>
        <translation>Tempo null</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>bad time signature</source>
        <translation>ungültige Taktart</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>data after end-of-track event</source>
        <translation>Daten nach dem Spurende-Ereignis</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>empty file</source>
        <translation>leere Datei</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>file too large</source>
        <translation>Datei zu groß</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>no MThd header</source>
        <translation>kein MThd-Kopfblock</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>header length is not 6</source>
        <translation>Länge des Kopfblocks ist nicht 6</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>truncated header</source>
        <translation>abgeschnittener Kopfblock</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>unsupported format</source>
        <translation>nicht unterstütztes Format</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>bad number of tracks</source>
        <translation>ungültige Anzahl von Spuren</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>unsupported time division</source>
        <translation>nicht unterstützte Zeitauflösung</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>missing track chunk</source>
        <translation>fehlender Spurblock</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>chunk is not a track</source>
        <translation>Block ist keine Spur</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>truncated track chunk</source>
        <translation>abgeschnittener Spurblock</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>data after the last track</source>
        <translation>Daten nach der letzten Spur</translation>
    </message>
</context>
<context>
    <name>Core::MidiOutSynthDevice</name>
    <message>
        <location filename="../src/core/midi/midi_out_synth_device.cpp" line="+11"/>
        <source>Built-in synthesizer</source>
        <translation>Eingebauter Synthesizer</translation>
    </message>
</context>
<context>
    <name>Core::MusicTables</name>
    <message>
        <location filename="../src/core/exercise/music_tables.cpp" line="+54"/>
        <source>Major</source>
        <translation>Dur</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Natural m</source>
        <translation>Natürliches Moll</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Harmonic m</source>
        <translation>Harmonisches Moll</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Melodic m</source>
        <translation>Melodisches Moll</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Pentatonic</source>
        <translation>Dur-Pentatonik</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pentatonic m</source>
        <translation>Moll-Pentatonik</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Diminished</source>
        <translation>Vermindert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Blues</source>
        <translation>Blues</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Augmented</source>
        <translation>Übermäßig</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Whole Tone</source>
        <translation>Ganztonleiter</translation>
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
        <translation>Langsam und getragen
 (66-76 BPM)</translation>
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
        <translation>Schnell und heiter
 (120-139 BPM)</translation>
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
        <translation>Gehend
 (76-108 BPM)</translation>
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
        <translation>Sehr langsam, breit
 (40-60 BPM)</translation>
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
        <translation>Mäßig bewegt
 (101-110 BPM)</translation>
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
        <translation>Sehr schnell
 (168-200 BPM)</translation>
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
        <translation>Lebhaft und schnell
 (130-155 BPM)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Perfect Unison</source>
        <translation>Reine Prime</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor second</source>
        <translation>Kleine Sekunde</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major second</source>
        <translation>Große Sekunde</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor third</source>
        <translation>Kleine Terz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major third</source>
        <translation>Große Terz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Perfect fourth</source>
        <translation>Reine Quarte</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+17"/>
        <source>Tritone</source>
        <translation>Tritonus</translation>
    </message>
    <message>
        <location line="-16"/>
        <source>Perfect fifth</source>
        <translation>Reine Quinte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor sixth</source>
        <translation>Kleine Sexte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major sixth</source>
        <translation>Große Sexte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor seventh</source>
        <translation>Kleine Septime</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major seventh</source>
        <translation>Große Septime</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Perfect octave</source>
        <translation>Reine Oktave</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Unison</source>
        <translation>Prime</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor 2nd</source>
        <translation>Kleine Sekunde</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major 2nd</source>
        <translation>Große Sekunde</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor 3rd</source>
        <translation>Kleine Terz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major 3rd</source>
        <translation>Große Terz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Perfect 4th</source>
        <translation>Reine Quarte</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Perfect 5th</source>
        <translation>Reine Quinte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor 6th</source>
        <translation>Kleine Sexte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major 6th</source>
        <translation>Große Sexte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor 7th</source>
        <translation>Kleine Septime</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major 7th</source>
        <translation>Große Septime</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Octave</source>
        <translation>Oktave</translation>
    </message>
    <message>
        <location line="+77"/>
        <location line="+7"/>
        <location line="+37"/>
        <source>note error</source>
        <translation>Notenfehler</translation>
    </message>
    <message>
        <location line="-30"/>
        <location line="+7"/>
        <location line="+7"/>
        <source>interval error</source>
        <translation>Intervallfehler</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+7"/>
        <source>chord error</source>
        <translation>Akkordfehler</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1 inv%2</source>
        <extracomment>A chord symbol (%1, &quot;C♯maj&quot;) in its first or second inversion (%2).</extracomment>
        <translation>%1 %2. Umk.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>(oct %1)</source>
        <extracomment>The octave number of a chord&apos;s root, on the line under the chord symbol.</extracomment>
        <translation>(Okt. %1)</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+7"/>
        <source>scale error</source>
        <translation>Tonleiterfehler</translation>
    </message>
</context>
<context>
    <name>Core::NoteSpelling</name>
    <message>
        <location filename="../src/core/exercise/note_spelling.cpp" line="+64"/>
        <source>letters</source>
        <extracomment>Not shown: which note names this language uses. Answer &quot;letters&quot; for C D E F G A B (C♯, B♭), &quot;german&quot; for C D E F G A H (Cis, Es, B for B flat) or &quot;solfege&quot; for Do Re Mi Fa Sol La Si (Do♯, Si♭).</extracomment>
        <translation>german</translation>
    </message>
    <message>
        <location line="+112"/>
        <source>%1 / %2</source>
        <extracomment>The answer of a key signature: %1 its major key, %2 its relative minor (&quot;F♯ / d♯&quot;; the letters of a minor key come in lower case, syllables do not). A language that does not mark minor keys by lower case adds its words here (&quot;%1 M / %2 m&quot;).</extracomment>
        <translation>%1 / %2</translation>
    </message>
</context>
<context>
    <name>DeviceBoxView</name>
    <message>
        <location filename="../src/ui/settings/device_box_view.ui" line="+14"/>
        <location line="+63"/>
        <source>MIDI Keyboard</source>
        <translation>MIDI-Keyboard</translation>
    </message>
    <message>
        <location line="-60"/>
        <source>The MIDI input device that answers come from.</source>
        <translation>Das MIDI-Eingabegerät, von dem die Antworten kommen.</translation>
    </message>
    <message>
        <location line="+102"/>
        <location line="+3"/>
        <source>Previous MIDI device</source>
        <translation>Vorheriges MIDI-Gerät</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+3"/>
        <source>Next MIDI device</source>
        <translation>Nächstes MIDI-Gerät</translation>
    </message>
</context>
<context>
    <name>ExerciseScreen</name>
    <message>
        <location filename="../src/ui/exercise/exercise_screen.ui" line="+6"/>
        <location line="+1"/>
        <source>Exercise</source>
        <translation>Übung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Space bar: pause or go on. Keys 1 to 6: the answer buttons. R: hear the question again.</source>
        <translation>Leertaste: anhalten oder weitermachen. Tasten 1 bis 6: die Antwortknöpfe. R: die Frage noch einmal hören.</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Lesson</source>
        <translation>Lektion</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Section</source>
        <translation>Abschnitt</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Score</source>
        <translation>Punktestand</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Right and wrong answers</source>
        <translation>Richtige und falsche Antworten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Pause or continue the lesson (spacebar)</source>
        <translation>Lektion anhalten oder fortsetzen (Leertaste)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Lesson view</source>
        <translation>Lektionsansicht</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+12"/>
        <location line="+35"/>
        <source>Question</source>
        <translation>Frage</translation>
    </message>
    <message>
        <location line="-15"/>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hear again (R)</source>
        <translation>Nochmal hören (R)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Hear the question again (R)</source>
        <translation>Die Frage noch einmal hören (R)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Hear again</source>
        <translation>Nochmal hören</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Plays the question again. Key: R</source>
        <translation>Spielt die Frage noch einmal. Taste: R</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Answer status</source>
        <translation>Bewertung der Antwort</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Music</source>
        <translation>Noten</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Chord symbol</source>
        <translation>Akkordsymbol</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Answers</source>
        <translation>Antworten</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Answer 1</source>
        <translation>Antwort 1</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Answer 2</source>
        <translation>Antwort 2</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Answer 3</source>
        <translation>Antwort 3</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Answer 4</source>
        <translation>Antwort 4</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Answer 5</source>
        <translation>Antwort 5</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Answer 6</source>
        <translation>Antwort 6</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Statistics</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+33"/>
        <source>Statistics caption</source>
        <translation>Beschriftung der Statistik</translation>
    </message>
    <message>
        <location line="-29"/>
        <source>Statistics rows</source>
        <translation>Zeilen der Statistik</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>View History</source>
        <translation>Verlauf anzeigen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Clear History</source>
        <translation>Verlauf löschen</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Extended statistics</source>
        <translation>Erweiterte Statistik</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Tempo statistics rows</source>
        <translation>Zeilen der Tempo-Statistik</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Reference</source>
        <translation>Nachschlagen</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Reference title</source>
        <translation>Titel der Nachschlageseite</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reference page</source>
        <translation>Nachschlageseite</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Piano keyboard</source>
        <translation>Klaviatur</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+11"/>
        <source>Sections</source>
        <translation>Abschnitte</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+1"/>
        <source>Section 1</source>
        <translation>Abschnitt 1</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+1"/>
        <source>Section 2</source>
        <translation>Abschnitt 2</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+1"/>
        <source>Section 3</source>
        <translation>Abschnitt 3</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+1"/>
        <source>Section 4</source>
        <translation>Abschnitt 4</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+1"/>
        <source>Section 5</source>
        <translation>Abschnitt 5</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Lesson position</source>
        <translation>Fortschritt in der Lektion</translation>
    </message>
</context>
<context>
    <name>GeneralSettingsTab</name>
    <message>
        <location filename="../src/ui/settings/general_settings_tab.ui" line="+14"/>
        <source>General settings</source>
        <translation>Allgemeine Einstellungen</translation>
    </message>
    <message>
        <location line="+107"/>
        <location line="+3"/>
        <source>Midi Input</source>
        <translation>MIDI-Eingang</translation>
    </message>
    <message>
        <location line="+24"/>
        <location line="+3"/>
        <source>Device</source>
        <translation>Gerät</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>MIDI Keyboard</source>
        <translation>MIDI-Keyboard</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+3"/>
        <source>Test my keyboard and sound</source>
        <translation>Keyboard und Klang testen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Shows the keys you press, plays a test tone and measures how soon a key sounds.</source>
        <translation>Zeigt die Tasten, die du drückst, spielt einen Testton und misst, wie schnell eine Taste erklingt.</translation>
    </message>
    <message>
        <location line="+26"/>
        <location line="+3"/>
        <source>Midi Playback</source>
        <translation>MIDI-Wiedergabe</translation>
    </message>
    <message>
        <location line="+24"/>
        <location line="+3"/>
        <location line="+24"/>
        <source>Instrument</source>
        <translation>Instrument</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The instrument that plays the questions. Choosing one plays a short note.</source>
        <translation>Das Instrument, das die Fragen spielt. Bei der Auswahl erklingt ein kurzer Ton.</translation>
    </message>
    <message>
        <location line="+239"/>
        <location line="+3"/>
        <location line="+24"/>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The language Cantorela speaks. System language follows the computer&apos;s setting.</source>
        <translation>Die Sprache, in der Cantorela spricht. „Systemsprache“ richtet sich nach der Einstellung des Computers.</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+3"/>
        <source>Cantorela speaks the chosen language from its next start.</source>
        <translation>Cantorela spricht die gewählte Sprache ab dem nächsten Start.</translation>
    </message>
    <message>
        <location line="+29"/>
        <location line="+3"/>
        <source>Answer Input</source>
        <translation>Antworteingabe</translation>
    </message>
    <message>
        <location line="+24"/>
        <location line="+3"/>
        <source>Use Graphical Piano</source>
        <translation>Bildschirmklavier verwenden</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Answer on the on-screen piano.</source>
        <translation>Auf dem Bildschirmklavier antworten.</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+3"/>
        <source>Use multiple choice buttons</source>
        <translation>Antwortknöpfe verwenden</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Answer with the multiple choice buttons.</source>
        <translation>Mit den Antwortknöpfen (Multiple Choice) antworten.</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+3"/>
        <source>Use Both</source>
        <translation>Beides verwenden</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Answer on the on-screen piano or with the multiple choice buttons.</source>
        <translation>Auf dem Bildschirmklavier oder mit den Antwortknöpfen antworten.</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+3"/>
        <source>Colour-blind friendly colours</source>
        <translation>Farben für Farbenblinde</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Show right and wrong in blue and orange instead of green and red.</source>
        <translation>Richtig und falsch in Blau und Orange statt in Grün und Rot anzeigen.</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+9"/>
        <source>Ask more often what you answered wrong in earlier lessons, until you answer it right a few times in a row.</source>
        <translation>Öfter nach dem fragen, was du in früheren Lektionen falsch beantwortet hast, bis du es ein paarmal hintereinander richtig beantwortest.</translation>
    </message>
    <message>
        <location line="-6"/>
        <location line="+3"/>
        <source>Practise my weak spots</source>
        <translation>Meine Schwächen üben</translation>
    </message>
    <message>
        <location line="+26"/>
        <location line="+3"/>
        <source>Auto Continue</source>
        <translation>Automatisch weiter</translation>
    </message>
    <message>
        <location line="+24"/>
        <location line="+3"/>
        <source>Mode</source>
        <translation>Modus</translation>
    </message>
    <message>
        <location line="+24"/>
        <location line="+3"/>
        <source>Pause after mistake</source>
        <translation>Nach Fehler anhalten</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>After a wrong answer the lesson waits for the space bar.</source>
        <translation>Nach einer falschen Antwort wartet die Lektion auf die Leertaste.</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+3"/>
        <source>Continue after mistake</source>
        <translation>Nach Fehler weitermachen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>After a wrong answer the lesson goes on by itself.</source>
        <translation>Nach einer falschen Antwort geht die Lektion von selbst weiter.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Wait after mistake</source>
        <translation>Wartezeit nach Fehler</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>How long the lesson waits after a wrong answer before it goes on.</source>
        <translation>Wie lange die Lektion nach einer falschen Antwort wartet, bevor es weitergeht.</translation>
    </message>
    <message>
        <location line="+252"/>
        <location line="+3"/>
        <source>Difficulty Level</source>
        <translation>Schwierigkeitsgrad</translation>
    </message>
    <message>
        <location line="+56"/>
        <location line="+3"/>
        <source>Level 1</source>
        <translation>Stufe 1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Set the questions of this trainer to difficulty level 1.</source>
        <translation>Stellt die Fragen dieses Trainers auf Schwierigkeitsstufe 1.</translation>
    </message>
    <message>
        <location line="+31"/>
        <location line="+3"/>
        <source>Level 2</source>
        <translation>Stufe 2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Set the questions of this trainer to difficulty level 2.</source>
        <translation>Stellt die Fragen dieses Trainers auf Schwierigkeitsstufe 2.</translation>
    </message>
    <message>
        <location line="+31"/>
        <location line="+3"/>
        <source>Level 3</source>
        <translation>Stufe 3</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Set the questions of this trainer to difficulty level 3.</source>
        <translation>Stellt die Fragen dieses Trainers auf Schwierigkeitsstufe 3.</translation>
    </message>
    <message>
        <location line="+31"/>
        <location line="+3"/>
        <source>Level 4</source>
        <translation>Stufe 4</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Set the questions of this trainer to difficulty level 4.</source>
        <translation>Stellt die Fragen dieses Trainers auf Schwierigkeitsstufe 4.</translation>
    </message>
    <message>
        <location line="+31"/>
        <location line="+3"/>
        <source>Level 5</source>
        <translation>Stufe 5</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Set the questions of this trainer to difficulty level 5.</source>
        <translation>Stellt die Fragen dieses Trainers auf Schwierigkeitsstufe 5.</translation>
    </message>
    <message>
        <location line="+31"/>
        <location line="+3"/>
        <source>Ask difficulty level before lesson starts</source>
        <translation>Vor jeder Lektion nach dem Schwierigkeitsgrad fragen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Show the difficulty level dialog before each lesson of this trainer.</source>
        <translation>Zeigt vor jeder Lektion dieses Trainers die Auswahl des Schwierigkeitsgrads.</translation>
    </message>
</context>
<context>
    <name>HomeScreen</name>
    <message>
        <location filename="../src/ui/home/home_screen.ui" line="+19"/>
        <source>Trainers</source>
        <translation>Trainer</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Choose a trainer and learn or quiz yourself.</source>
        <translation>Wähle einen Trainer: Lerne oder teste dich im Quiz.</translation>
    </message>
    <message>
        <location line="+58"/>
        <source>Note Trainer</source>
        <translation>Notentrainer</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Read notes, intervals and chords.</source>
        <translation>Noten, Intervalle und Akkorde lesen.</translation>
    </message>
    <message>
        <location line="+19"/>
        <location line="+3"/>
        <source>Learn reading notes</source>
        <translation>Notenlesen lernen</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+120"/>
        <location line="+120"/>
        <source>Learn</source>
        <translation>Lernen</translation>
    </message>
    <message>
        <location line="-221"/>
        <location line="+3"/>
        <source>Quiz yourself on reading notes</source>
        <translation>Teste dich im Notenlesen</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+120"/>
        <location line="+120"/>
        <source>Quiz</source>
        <translation>Quiz</translation>
    </message>
    <message>
        <location line="-221"/>
        <location line="+120"/>
        <location line="+120"/>
        <source>Your answers so far</source>
        <translation>Deine bisherigen Antworten</translation>
    </message>
    <message>
        <location line="-221"/>
        <source>Note Trainer answers</source>
        <translation>Antworten im Notentrainer</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Ear Trainer</source>
        <translation>Gehörtrainer</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Hear notes, chords, scales and tempo.</source>
        <translation>Töne, Akkorde, Tonleitern und Tempo hören.</translation>
    </message>
    <message>
        <location line="+19"/>
        <location line="+3"/>
        <source>Learn recognizing notes by ear</source>
        <translation>Töne nach Gehör erkennen lernen</translation>
    </message>
    <message>
        <location line="+22"/>
        <location line="+3"/>
        <source>Quiz yourself on recognizing notes by ear</source>
        <translation>Teste dich im Erkennen nach Gehör</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Ear Trainer answers</source>
        <translation>Antworten im Gehörtrainer</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Music Symbols</source>
        <translation>Musikzeichen</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Lengths, keys, dynamics and more.</source>
        <translation>Notenwerte, Tonarten, Dynamik und mehr.</translation>
    </message>
    <message>
        <location line="+19"/>
        <location line="+3"/>
        <source>Learn various music symbols</source>
        <translation>Verschiedene Musikzeichen lernen</translation>
    </message>
    <message>
        <location line="+22"/>
        <location line="+3"/>
        <source>Quiz yourself on music symbols</source>
        <translation>Teste dich bei den Musikzeichen</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Music Symbols answers</source>
        <translation>Antworten bei den Musikzeichen</translation>
    </message>
</context>
<context>
    <name>KeyRangeDialog</name>
    <message>
        <location filename="../src/ui/dialogs/key_range_dialog.ui" line="+52"/>
        <source>Click the lowest key</source>
        <translation>Klicke auf die tiefste Taste</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Instruction</source>
        <translation>Anleitung</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Key under the pointer</source>
        <translation>Taste unter dem Mauszeiger</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Piano keyboard</source>
        <translation>Klaviatur</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Left and Right arrows move along the keyboard, Enter picks.</source>
        <translation>Mit den Pfeiltasten links und rechts wanderst du über die Klaviatur, mit der Eingabetaste wählst du aus.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Keyboard hint</source>
        <translation>Tastaturhinweis</translation>
    </message>
</context>
<context>
    <name>Keyboard</name>
    <message>
        <location filename="../src/ui/widgets/keyboard_accessible.cpp" line="+36"/>
        <source>Piano keyboard</source>
        <translation>Klaviatur</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>88 keys from %1 to %2; press a key to play it</source>
        <translation>88 Tasten von %1 bis %2; drück eine Taste, um sie zu spielen</translation>
    </message>
    <message>
        <location line="+94"/>
        <source>right</source>
        <translation>richtig</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>missed</source>
        <translation>verpasst</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>wrong</source>
        <translation>falsch</translation>
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
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Back to the trainers (Alt+Left)</source>
        <translation>Zurück zu den Trainern (Alt+←)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Home</source>
        <translation>Start</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>‹  Home</source>
        <translation>‹  Start</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>QUIZ</source>
        <extracomment>The badge after the trainer&apos;s name in the tool bar during a quiz; short, upper case.</extracomment>
        <translation>QUIZ</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>The lesson (Ctrl+1)</source>
        <translation>Die Lektion (Strg+1)</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>Exercise</source>
        <translation>Übung</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Look up what the lesson teaches (Ctrl+2)</source>
        <translation>Nachschlagen, was die Lektion lehrt (Strg+2)</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>Reference</source>
        <translation>Nachschlagen</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Your right and wrong answers (Ctrl+3)</source>
        <translation>Deine richtigen und falschen Antworten (Strg+3)</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>Statistics</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>What the trainer may ask (Ctrl+4)</source>
        <translation>Was der Trainer fragen darf (Strg+4)</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>A message from Vantorix</source>
        <translation>Eine Nachricht von Vantorix</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>Mail</source>
        <translation>Nachrichten</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>How to use Cantorela (F1)</source>
        <translation>So benutzt du Cantorela (F1)</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Version and credits</source>
        <translation>Version und Mitwirkende</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Minimize the window</source>
        <translation>Fenster minimieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Full screen or window (F11)</source>
        <translation>Vollbild oder Fenster (F11)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Full screen</source>
        <translation>Vollbild</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Quit Cantorela (Ctrl+Q)</source>
        <translation>Cantorela beenden (Strg+Q)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>Progress</name>
    <message>
        <location filename="../src/ui/widgets/progress.cpp" line="+110"/>
        <source>Answers</source>
        <translation>Antworten</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>%1 right, %2 wrong</source>
        <translation>%1 richtig, %2 falsch</translation>
    </message>
</context>
<context>
    <name>SectionSettingsTab</name>
    <message>
        <location filename="../src/ui/settings/section_settings_tab.ui" line="+88"/>
        <source>Change not kept</source>
        <translation>Änderung nicht übernommen</translation>
    </message>
    <message>
        <location line="+11"/>
        <location line="+1"/>
        <location line="+11"/>
        <location line="+6"/>
        <source>Questions</source>
        <translation>Fragen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>How many questions this section asks; Off leaves the section out of the lesson</source>
        <translation>Wie viele Fragen dieser Abschnitt stellt; „Aus“ lässt den Abschnitt in der Lektion weg</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+6"/>
        <source>Timeout (sec)</source>
        <translation>Zeitlimit (Sek.)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Seconds to answer one question; No limit waits for the answer</source>
        <translation>Sekunden für die Antwort auf eine Frage; „Unbegrenzt“ wartet auf die Antwort</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No limit</source>
        <translation>Unbegrenzt</translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+1"/>
        <source>Notes</source>
        <translation>Noten</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>White keys</source>
        <translation>Weiße Tasten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Notes on the white keys may be asked</source>
        <translation>Noten auf den weißen Tasten können gefragt werden</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Black keys</source>
        <translation>Schwarze Tasten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Notes on the black keys may be asked</source>
        <translation>Noten auf den schwarzen Tasten können gefragt werden</translation>
    </message>
    <message>
        <location line="+8"/>
        <location line="+1"/>
        <source>Clefs</source>
        <translation>Notenschlüssel</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Treble clef</source>
        <translation>Violinschlüssel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Questions may be written on the treble (G) clef</source>
        <translation>Fragen können im Violinschlüssel (G-Schlüssel) notiert sein</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Bass clef</source>
        <translation>Bassschlüssel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Questions may be written on the bass (F) clef</source>
        <translation>Fragen können im Bassschlüssel (F-Schlüssel) notiert sein</translation>
    </message>
    <message>
        <location line="+8"/>
        <location line="+1"/>
        <source>Intervals</source>
        <translation>Intervalle</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>From</source>
        <translation>Von</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Smallest interval</source>
        <translation>Kleinstes Intervall</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>To</source>
        <translation>Bis</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Largest interval</source>
        <translation>Größtes Intervall</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Arpeggiated</source>
        <translation>Gebrochen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The two notes are played one after the other</source>
        <translation>Die beiden Töne erklingen nacheinander</translation>
    </message>
</context>
<context>
    <name>UI::AboutDialog</name>
    <message>
        <location filename="../src/ui/dialogs/about_dialog.cpp" line="+33"/>
        <source>application framework</source>
        <translation>Grundgerüst des Programms</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>MIDI input and output</source>
        <translation>MIDI-Ein- und -Ausgabe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>MIT-style licence</source>
        <translation>MIT-ähnliche Lizenz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>built-in synthesizer</source>
        <translation>eingebauter Synthesizer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>FluidR3 Mono General MIDI soundfont</source>
        <translation>FluidR3 Mono General-MIDI-Soundfont</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the synthesizer&apos;s instruments</source>
        <translation>die Instrumente des Synthesizers</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>MIT licence</source>
        <translation>MIT-Lizenz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>reading Standard MIDI Files</source>
        <translation>Lesen von Standard-MIDI-Dateien</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>BSD 2-clause licence</source>
        <translation>2-Klausel-BSD-Lizenz</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>engraved music</source>
        <translation>Notensatz</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Bravura music font</source>
        <translation>Notenschriftart Bravura</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>interface text</source>
        <translation>Schrift der Oberfläche</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Lato fonts</source>
        <translation>Lato-Schriften</translation>
    </message>
    <message>
        <location line="+167"/>
        <source>Built with</source>
        <translation>Erstellt mit</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1, version %2 in use</source>
        <translation>%1, verwendet wird Version %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Tempo pieces</source>
        <translation>Stücke der Tempo-Übungen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The credits of the tempo pieces are missing.</source>
        <translation>Die Angaben zu den Stücken der Tempo-Übungen fehlen.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>About Cantorela</source>
        <translation>Über Cantorela</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>A trainer of music reading and ear skills for piano students: notes, intervals, chords, scales, tempo and the symbols of written music.</source>
        <translation>Ein Trainer für Notenlesen und Gehörbildung für alle, die Klavier lernen: Noten, Intervalle, Akkorde, Tonleitern, Tempo und die Zeichen der Notenschrift.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>© Vantorix. The parts below are used under their own licences.</source>
        <translation>© Vantorix. Die unten genannten Bestandteile werden unter ihren eigenen Lizenzen verwendet.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Credits</source>
        <translation>Mitwirkende</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>UI::ActionHint</name>
    <message>
        <location filename="../src/ui/exercise/action_hint.cpp" line="+35"/>
        <source>Press spacebar to pause</source>
        <translation>Drück die Leertaste zum Anhalten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Press spacebar for next question,&lt;br&gt;to continue automatically see Settings</source>
        <translation>Drück die Leertaste für die nächste Frage,&lt;br&gt;„Automatisch weiter“ findest du in den Einstellungen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>I hear nothing: is the microphone muted?</source>
        <translation>Ich höre nichts: Ist das Mikrofon stummgeschaltet?</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Your computer keyboard plays the piano: press the letters on its keys.&lt;br&gt;Page Up and Page Down move them an octave.</source>
        <translation>Deine Computertastatur spielt Klavier: Drück die Buchstaben, die auf den Klaviertasten stehen.&lt;br&gt;Bild↑ und Bild↓ verschieben sie um eine Oktave.</translation>
    </message>
</context>
<context>
    <name>UI::AnswerFeedback</name>
    <message>
        <location filename="../src/ui/exercise/answer_feedback.cpp" line="+62"/>
        <source>Right</source>
        <translation>Richtig</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Wrong</source>
        <translation>Falsch</translation>
    </message>
    <message>
        <location line="+65"/>
        <source>Out of time.</source>
        <translation>Zeit abgelaufen.</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>Answer status</source>
        <translation>Bewertung der Antwort</translation>
    </message>
</context>
<context>
    <name>UI::ConfusionList</name>
    <message>
        <location filename="../src/ui/exercise/confusion_list.cpp" line="+36"/>
        <source>Common mistakes</source>
        <translation>Häufige Fehler</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>No confusions yet.</source>
        <translation>Noch keine Verwechslungen.</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>Mixed-up items</source>
        <translation>Verwechselte Elemente</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Close the mixed-up items</source>
        <translation>Verwechselte Elemente schließen</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>What you mix up most, in all your lessons:</source>
        <translation>Was du am häufigsten verwechselst, in allen deinen Lektionen:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>What you mix up most in this lesson:</source>
        <translation>Was du in dieser Lektion am häufigsten verwechselst:</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>You answer %1 as %2: once</source>
        <extracomment>%1 the item asked, %2 the one answered in its place (&quot;Minor sixth&quot;, &quot;Major sixth&quot;).</extracomment>
        <translation>Du antwortest %2 statt %1: einmal</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>You answer %1 as %2: %n times</source>
        <translation>
            <numerusform>Du antwortest %2 statt %1: %n-mal</numerusform>
            <numerusform>Du antwortest %2 statt %1: %n-mal</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Show</source>
        <translation>Zeigen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Play %1 and %2</source>
        <translation>%1 und %2 abspielen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show %1 and %2</source>
        <translation>%1 und %2 zeigen</translation>
    </message>
</context>
<context>
    <name>UI::DeviceBoxView</name>
    <message>
        <location filename="../src/ui/settings/device_box_view.cpp" line="+34"/>
        <source>Using %1.</source>
        <translation>Verwendet: %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Using the %1 keyboard device.</source>
        <translation>Verwendetes Keyboard: %1.</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+1"/>
        <source>No MIDI device plugged in.</source>
        <translation>Kein MIDI-Gerät angeschlossen.</translation>
    </message>
</context>
<context>
    <name>UI::DifficultyLevelDialog</name>
    <message>
        <location filename="../src/ui/dialogs/difficulty_level_dialog.cpp" line="+40"/>
        <source>LEVEL</source>
        <extracomment>The word over the level number on the difficulty buttons; short, upper case.</extracomment>
        <translation>STUFE</translation>
    </message>
</context>
<context>
    <name>UI::ExerciseScreen</name>
    <message>
        <location filename="../src/ui/exercise/exercise_screen.cpp" line="+105"/>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <location line="+533"/>
        <source>Hear again (R)</source>
        <translation>Nochmal hören (R)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Hear again</source>
        <translation>Nochmal hören</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hear the question again (R)</source>
        <translation>Die Frage noch einmal hören (R)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hear the question again</source>
        <translation>Die Frage noch einmal hören</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Plays the question again. Key: R</source>
        <translation>Spielt die Frage noch einmal. Taste: R</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Plays the question again.</source>
        <translation>Spielt die Frage noch einmal.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>&lt;br&gt;Here 2, 3, 5 and 6 play black keys: choose an answer with the mouse or Tab.</source>
        <translation>&lt;br&gt;Hier spielen 2, 3, 5 und 6 schwarze Tasten: Wähle eine Antwort mit der Maus oder mit Tab.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&lt;br&gt;Here R plays F: for Hear again use its button.</source>
        <translation>&lt;br&gt;Hier spielt R das F: Für „Nochmal hören“ nimm den Knopf.</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/exercise_screen_session.cpp" line="+74"/>
        <location line="+2"/>
        <source>I answer by singing</source>
        <translation>Ich antworte singend</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sing the note you hear, in any octave, and hold it for a moment</source>
        <translation>Singe den gehörten Ton in einer beliebigen Oktave und halte ihn einen Moment</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>Question %1 of %2</source>
        <translation>Frage %1 von %2</translation>
    </message>
    <message>
        <location line="+243"/>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Play</source>
        <translation>Weiter</translation>
    </message>
</context>
<context>
    <name>UI::GeneralSettingsTab</name>
    <message>
        <location filename="../src/ui/settings/general_settings_tab.cpp" line="+43"/>
        <source>Wait: 1 second</source>
        <translation>Warten: 1 Sekunde</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Wait: %1 seconds</source>
        <translation>Warten: %1 Sekunden</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>System language</source>
        <translation>Systemsprache</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Custom</source>
        <translation>Eigene</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The question settings are your own and match none of the levels</source>
        <translation>Die Frageeinstellungen sind deine eigenen und passen zu keiner Stufe</translation>
    </message>
</context>
<context>
    <name>UI::HelpDialog</name>
    <message>
        <location filename="../src/ui/dialogs/help_dialog.cpp" line="+25"/>
        <source>Cantorela guide</source>
        <translation>Cantorela-Anleitung</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Guide</source>
        <translation>Anleitung</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The guide is missing from this build.</source>
        <translation>Die Anleitung fehlt in dieser Programmversion.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>UI::KeyRangeDialog</name>
    <message>
        <location filename="../src/ui/dialogs/key_range_dialog.cpp" line="+73"/>
        <source>Pick an octave</source>
        <translation>Oktave wählen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Pick keys</source>
        <translation>Tasten wählen</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Click an octave</source>
        <translation>Klicke auf eine Oktave</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+91"/>
        <source>Click the highest key</source>
        <translation>Klicke auf die höchste Taste</translation>
    </message>
</context>
<context>
    <name>UI::KeyRangePicker</name>
    <message>
        <location filename="../src/ui/settings/key_range_picker.cpp" line="+83"/>
        <source>Note range</source>
        <translation>Notenbereich</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Range on the staff</source>
        <translation>Bereich im Notensystem</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Range</source>
        <translation>Bereich</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+5"/>
        <source>Lowest</source>
        <translation>Tiefste Note</translation>
    </message>
    <message>
        <location line="-4"/>
        <location line="+5"/>
        <source>Highest</source>
        <translation>Höchste Note</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Pick keys…</source>
        <translation>Tasten wählen …</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pick keys</source>
        <translation>Tasten wählen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pick an octave…</source>
        <translation>Oktave wählen …</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pick an octave</source>
        <translation>Oktave wählen</translation>
    </message>
</context>
<context>
    <name>UI::LessonSpeech</name>
    <message>
        <location filename="../src/ui/exercise/lesson_speech.cpp" line="+26"/>
        <source>no</source>
        <translation>keine</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>one</source>
        <translation>eine</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>two</source>
        <translation>zwei</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>three</source>
        <translation>drei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>four</source>
        <translation>vier</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>five</source>
        <translation>fünf</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>six</source>
        <translation>sechs</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>seven</source>
        <translation>sieben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>eight</source>
        <translation>acht</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>nine</source>
        <translation>neun</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ten</source>
        <translation>zehn</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>eleven</source>
        <translation>elf</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>twelve</source>
        <translation>zwölf</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>Grand staff</source>
        <translation>Klaviersystem</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Treble clef</source>
        <translation>Violinschlüssel</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Bass clef</source>
        <translation>Bassschlüssel</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>C clef</source>
        <translation>C-Schlüssel</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>one note</source>
        <translation>eine Note</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>chord of %1 notes</source>
        <translation>Akkord aus %1 Noten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 notes</source>
        <translation>%1 Noten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 chords</source>
        <translation>%1 Akkorde</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Listen: a note</source>
        <translation>Hör zu: ein Ton</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Listen: an interval</source>
        <translation>Hör zu: ein Intervall</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Listen: a scale</source>
        <translation>Hör zu: eine Tonleiter</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Listen: a chord</source>
        <translation>Hör zu: ein Akkord</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Listen and answer</source>
        <translation>Hör zu und antworte</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>no notes</source>
        <translation>keine Töne</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>answer %1</source>
        <translation>Antwort %1</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Listen: a tempo</source>
        <translation>Hör zu: ein Tempo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Chord symbol %1</source>
        <translation>Akkordsymbol %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Music symbol</source>
        <translation>Musikzeichen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Music</source>
        <translation>Noten</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>No answer, out of time. Asked: %1</source>
        <translation>Keine Antwort, Zeit abgelaufen. Gefragt war: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No answer. Asked: %1</source>
        <translation>Keine Antwort. Gefragt war: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Your answer: %1, right.</source>
        <translation>Deine Antwort: %1, richtig.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your answer: %1, wrong. Asked: %2</source>
        <translation>Deine Antwort: %1, falsch. Gefragt war: %2</translation>
    </message>
</context>
<context>
    <name>UI::MailDialog</name>
    <message>
        <location filename="../src/ui/dialogs/mail_dialog.cpp" line="+20"/>
        <source>News from Vantorix</source>
        <translation>Neuigkeiten von Vantorix</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>News title</source>
        <translation>Titel der Neuigkeit</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>News text</source>
        <translation>Text der Neuigkeit</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>News</source>
        <translation>Neuigkeiten</translation>
    </message>
</context>
<context>
    <name>UI::MainWindow</name>
    <message>
        <location filename="../src/ui/main_window_tool_bar.cpp" line="+41"/>
        <source>Note Trainer</source>
        <translation>Notentrainer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Note Trainer quiz</source>
        <translation>Notentrainer – Quiz</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Ear Trainer</source>
        <translation>Gehörtrainer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Ear Trainer quiz</source>
        <translation>Gehörtrainer – Quiz</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Music Symbols</source>
        <translation>Musikzeichen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Music Symbols quiz</source>
        <translation>Musikzeichen – Quiz</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Quiz</source>
        <translation>Quiz</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Exercise</source>
        <translation>Übung</translation>
    </message>
    <message>
        <location line="+74"/>
        <source>Leave full screen</source>
        <translation>Vollbild verlassen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Full screen</source>
        <translation>Vollbild</translation>
    </message>
</context>
<context>
    <name>UI::MicrophoneCheck</name>
    <message>
        <location filename="../src/ui/dialogs/microphone_check.cpp" line="+71"/>
        <source>Microphone level</source>
        <translation>Mikrofonpegel</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Background noise: measuring…</source>
        <translation>Hintergrundgeräusch: wird gemessen…</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>No microphone found.</source>
        <translation>Kein Mikrofon gefunden.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The microphone does not open: %1</source>
        <translation>Das Mikrofon lässt sich nicht öffnen: %1</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Play middle C</source>
        <translation>Spiele das eingestrichene C</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Play a C major chord</source>
        <translation>Spiele einen C-Dur-Akkord</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Your piano is heard well.</source>
        <translation>Dein Klavier ist gut zu hören.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Heard: %1</source>
        <translation>Gehört: %1</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Too loud: move the microphone away from the piano.</source>
        <translation>Zu laut: Stelle das Mikrofon weiter vom Klavier weg.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>I hear nothing: is the microphone muted?</source>
        <translation>Ich höre nichts: Ist das Mikrofon stummgeschaltet?</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Background noise: %1 dB</source>
        <translation>Hintergrundgeräusch: %1 dB</translation>
    </message>
</context>
<context>
    <name>UI::MidiWarningDialog</name>
    <message>
        <location filename="../src/ui/dialogs/midi_warning_dialog.cpp" line="+17"/>
        <location line="+3"/>
        <source>No MIDI keyboard found</source>
        <translation>Kein MIDI-Keyboard gefunden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Connect a MIDI keyboard to answer on it. Until then you can answer on the on-screen piano or with the multiple-choice buttons.</source>
        <translation>Schließ ein MIDI-Keyboard an, um darauf zu antworten. Bis dahin kannst du auf dem Bildschirmklavier oder mit den Antwortknöpfen antworten.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Do not show this again</source>
        <translation>Nicht mehr anzeigen</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>UI::PlayDialog</name>
    <message>
        <location filename="../src/ui/dialogs/play_dialog.cpp" line="+58"/>
        <location line="+14"/>
        <source>Paused</source>
        <translation>Angehalten</translation>
    </message>
    <message>
        <location line="-13"/>
        <source>Paused: press space or Play to go on</source>
        <translation>Angehalten: Drück die Leertaste oder „Weiter“, um fortzufahren</translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+1"/>
        <source>Continue</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Press space or Play to go on</source>
        <translation>Drück die Leertaste oder „Weiter“, um fortzufahren</translation>
    </message>
</context>
<context>
    <name>UI::ProgressChart</name>
    <message>
        <location filename="../src/ui/exercise/progress_chart.cpp" line="+90"/>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message numerus="yes">
        <location line="+10"/>
        <source>%n days</source>
        <translation>
            <numerusform>%n Tag</numerusform>
            <numerusform>%n Tage</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>Show the last %n days</source>
        <translation>
            <numerusform>Den letzten %n Tag zeigen</numerusform>
            <numerusform>Die letzten %n Tage zeigen</numerusform>
        </translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Right answers (%)</source>
        <translation>Richtig (%)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Median answer time</source>
        <translation>Median-Antwortzeit</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Progress chart</source>
        <translation>Fortschrittsdiagramm</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>No practice in these days.</source>
        <translation>An diesen Tagen nicht geübt.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Values of the day</source>
        <translation>Werte des Tages</translation>
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
            <numerusform>%n geübter Tag. Mit den Pfeiltasten liest du die Werte jedes Tages.</numerusform>
            <numerusform>%n geübte Tage. Mit den Pfeiltasten liest du die Werte jedes Tages.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+79"/>
        <source>median time %1 s</source>
        <translation>Median-Zeit %1 s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no answer time</source>
        <translation>keine Antwortzeit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1 answer</source>
        <translation>1 Antwort</translation>
    </message>
    <message numerus="yes">
        <location line="+0"/>
        <source>%n answers</source>
        <translation>
            <numerusform>%n Antwort</numerusform>
            <numerusform>%n Antworten</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1: %2% right, %3, %4</source>
        <extracomment>%1 the date, %2 the share of right answers, %3 the median time, %4 the number of answers.</extracomment>
        <translation>%1: %2&#xa0;% richtig, %3, %4</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Point at a day for its values.</source>
        <translation>Zeige auf einen Tag, um seine Werte zu sehen.</translation>
    </message>
</context>
<context>
    <name>UI::QuestionCountdown</name>
    <message>
        <location filename="../src/ui/exercise/question_countdown.cpp" line="+99"/>
        <source>Time left</source>
        <translation>Verbleibende Zeit</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>1 second left</source>
        <translation>Noch 1 Sekunde</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 seconds left</source>
        <translation>Noch %1 Sekunden</translation>
    </message>
</context>
<context>
    <name>UI::QuestionPicture</name>
    <message>
        <location filename="../src/ui/exercise/question_picture.cpp" line="+33"/>
        <source>Question picture</source>
        <translation>Bild der Frage</translation>
    </message>
</context>
<context>
    <name>UI::QuestionView</name>
    <message>
        <location filename="../src/ui/exercise/question_view.cpp" line="+126"/>
        <source>Question</source>
        <translation>Frage</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Listen, then sing or choose what you heard</source>
        <translation>Hör zu, dann sing oder wähle, was du gehört hast</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Listen, then sing what you heard</source>
        <translation>Hör zu, dann sing, was du gehört hast</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Listen, then play or choose what you heard</source>
        <translation>Hör zu, dann spiel oder wähle, was du gehört hast</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Listen: which tempo is this?</source>
        <translation>Hör zu: Welches Tempo ist das?</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Name what you see</source>
        <translation>Benenne, was du siehst</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Play or name what you see</source>
        <translation>Spiel oder benenne, was du siehst</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Play this chord</source>
        <translation>Spiel diesen Akkord</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>What does this mean?</source>
        <translation>Was bedeutet das?</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Chord symbol %1</source>
        <translation>Akkordsymbol %1</translation>
    </message>
    <message>
        <location line="+110"/>
        <source>Answer %1: %2, right answer</source>
        <translation>Antwort %1: %2, richtige Antwort</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Answer %1: %2, your answer, wrong</source>
        <translation>Antwort %1: %2, deine Antwort, falsch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Answer %1: %2</source>
        <translation>Antwort %1: %2</translation>
    </message>
</context>
<context>
    <name>UI::RatingDialog</name>
    <message>
        <location filename="../src/ui/dialogs/rating_dialog.cpp" line="+32"/>
        <source>1 star</source>
        <translation>1 Stern</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 stars</source>
        <translation>%1 Sterne</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>Rate Cantorela</source>
        <translation>Cantorela bewerten</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Do you enjoy practising with Cantorela?</source>
        <translation>Übst du gern mit Cantorela?</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Your rating helps other piano students find it, and tells us what to make better. A star opens the rating page in your web browser.</source>
        <translation>Deine Bewertung hilft anderen Klavierschülern, Cantorela zu finden, und zeigt uns, was wir verbessern können. Ein Klick auf einen Stern öffnet die Bewertungsseite in deinem Webbrowser.</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Don&apos;t ask again</source>
        <translation>Nicht mehr fragen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not now</source>
        <translation>Jetzt nicht</translation>
    </message>
</context>
<context>
    <name>UI::ReferenceBook</name>
    <message>
        <location filename="../src/ui/exercise/reference/chords_page.cpp" line="+19"/>
        <source>Major Triad - C</source>
        <translation>Dur-Dreiklang – C</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor Triad - Cm</source>
        <translation>Moll-Dreiklang – Cm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major Sixth - C6</source>
        <translation>Dur mit Sexte – C6</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor Sixth - Cm6</source>
        <translation>Moll mit Sexte – Cm6</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major Seventh - CM7</source>
        <translation>Großer Septakkord – CM7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor Seventh - Cm7</source>
        <translation>Moll-Septakkord – Cm7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dominant Seventh - C7</source>
        <translation>Dominantseptakkord – C7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Suspended 2 - Csus2</source>
        <translation>Sekundvorhalt – Csus2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Suspended 4 - Csus4</source>
        <translation>Quartvorhalt – Csus4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sixth Suspended 2 - C6sus2</source>
        <translation>Sexte mit Sekundvorhalt – C6sus2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sixth Suspended 4 - C6sus4</source>
        <translation>Sexte mit Quartvorhalt – C6sus4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Seventh Suspended 2 - C7sus2</source>
        <translation>Septime mit Sekundvorhalt – C7sus2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Seventh Suspended 4 - C7sus4</source>
        <translation>Septime mit Quartvorhalt – C7sus4</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Augmented - Caug</source>
        <translation>Übermäßiger Dreiklang – Caug</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Augmented Sixth - Caug6</source>
        <translation>Übermäßig mit Sexte – Caug6</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Augmented Seventh - Caug7</source>
        <translation>Übermäßiger Septakkord – Caug7</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Diminished - Cdim</source>
        <translation>Verminderter Dreiklang – Cdim</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Diminished Seventh - Cdim7</source>
        <translation>Verminderter Septakkord – Cdim7</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>Every chord is built on middle C (C4) and shown in root position. The second line counts its notes in steps of the major scale from the root: ♭ lowers a step by a semitone, ♯ raises it.</source>
        <translation>Jeder Akkord ist auf dem mittleren C (C4) aufgebaut und in Grundstellung notiert. Die zweite Zeile zählt seine Töne in Stufen der Dur-Tonleiter vom Grundton aus: ♭ erniedrigt eine Stufe um einen Halbton, ♯ erhöht sie.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Chord</source>
        <translation>Akkord</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/exercise/reference/intervals_page.cpp" line="+55"/>
        <location filename="../src/ui/exercise/reference/scales_page.cpp" line="+98"/>
        <source>Example</source>
        <translation>Beispiel</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/exercise/reference/intervals_page.cpp" line="+1"/>
        <source>Notes</source>
        <translation>Töne</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/exercise/reference/intervals_page.cpp" line="+1"/>
        <location filename="../src/ui/exercise/reference/notes_page.cpp" line="+62"/>
        <location filename="../src/ui/exercise/reference/scales_page.cpp" line="+2"/>
        <location filename="../src/ui/exercise/reference/tempo_page.cpp" line="+114"/>
        <source>Listen</source>
        <translation>Anhören</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/intervals_page.cpp" line="-40"/>
        <source>The same note twice</source>
        <translation>Zweimal derselbe Ton</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The very next key: sharp, tense</source>
        <translation>Die direkt benachbarte Taste: scharf, gespannt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>One scale step: gently tense</source>
        <translation>Ein Tonleiterschritt: leicht gespannt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Soft and sad, as in a minor chord</source>
        <translation>Weich und traurig, wie in einem Moll-Akkord</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bright, as in a major chord</source>
        <translation>Hell, wie in einem Dur-Akkord</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Open, a little unsettled</source>
        <translation>Offen, ein wenig unruhig</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Half an octave: restless</source>
        <translation>Eine halbe Oktave: rastlos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Open, hollow, very stable</source>
        <translation>Offen, leer, sehr stabil</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Warm and bittersweet</source>
        <translation>Warm und bittersüß</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sweet and open</source>
        <translation>Lieblich und offen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bluesy, wants to move on</source>
        <translation>Bluesig, will weiter</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dreamy, a key short of C5</source>
        <translation>Verträumt, eine Taste unter C5</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The same letter, 8 white keys up</source>
        <translation>Derselbe Notenname, 8 weiße Tasten höher</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>An interval is the distance between two notes, counted in semitones (half steps): one semitone takes you to the very next key, black or white. Every example starts on middle C (C4).</source>
        <translation>Ein Intervall ist der Abstand zwischen zwei Tönen, gezählt in Halbtönen: Ein Halbton führt zur direkt benachbarten Taste, ob schwarz oder weiß. Jedes Beispiel beginnt auf dem mittleren C (C4).</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Interval</source>
        <translation>Intervall</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Semitones</source>
        <translation>Halbtöne</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/note_lengths_page.cpp" line="+19"/>
        <source>Whole</source>
        <translation>Ganze</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>semibreve</source>
        <translation>ganze Note</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>4 beats</source>
        <translation>4 Zählzeiten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Half</source>
        <translation>Halbe</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>minim</source>
        <translation>halbe Note</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>2 beats</source>
        <translation>2 Zählzeiten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Quarter</source>
        <translation>Viertel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>crotchet</source>
        <translation>Viertelnote</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1 beat</source>
        <translation>1 Zählzeit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Eighth</source>
        <translation>Achtel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>quaver</source>
        <translation>Achtelnote</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1/2 beat</source>
        <translation>1/2 Zählzeit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>16th</source>
        <translation>16tel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>semiquaver</source>
        <translation>Sechzehntelnote</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1/4 beat</source>
        <translation>1/4 Zählzeit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>32nd</source>
        <translation>32tel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>demisemiquaver</source>
        <translation>Zweiunddreißigstelnote</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1/8 beat</source>
        <translation>1/8 Zählzeit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>64th</source>
        <translation>64tel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>hemidemisemiquaver</source>
        <translation>Vierundsechzigstelnote</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1/16 beat</source>
        <translation>1/16 Zählzeit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>128th</source>
        <translation>128tel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>semihemidemisemiquaver</source>
        <translation>Hundertachtundzwanzigstelnote</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1/32 beat</source>
        <translation>1/32 Zählzeit</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>How long each note and rest lasts, counted in beats when a quarter note gets one beat (as in 4/4 time). Each length is half of the one above it.</source>
        <translation>Wie lange jede Note und jede Pause dauert, gezählt in Zählzeiten, wenn die Viertelnote eine Zählzeit bekommt (wie im 4/4-Takt). Jeder Notenwert ist halb so lang wie der darüber.</translation>
    </message>
    <message>
        <location line="+8"/>
        <location filename="../src/ui/exercise/reference/notes_page.cpp" line="-3"/>
        <source>Note</source>
        <translation>Note</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Rest</source>
        <translation>Pause</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 note</source>
        <translation>Note: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 rest</source>
        <translation>Pause: %1</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/notes_page.cpp" line="-37"/>
        <source>On a ledger line below the staff</source>
        <translation>Auf einer Hilfslinie unter dem Notensystem</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Just below the bottom line</source>
        <translation>Direkt unter der untersten Linie</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bottom line (line 1)</source>
        <translation>Unterste Linie (1. Linie)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>First space</source>
        <translation>1. Zwischenraum</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Second line: the G clef curls around it</source>
        <translation>2. Linie: Um sie windet sich der G-Schlüssel</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+5"/>
        <source>Second space</source>
        <translation>2. Zwischenraum</translation>
    </message>
    <message>
        <location line="-4"/>
        <location line="+5"/>
        <source>Middle line (line 3)</source>
        <translation>Mittlere Linie (3. Linie)</translation>
    </message>
    <message>
        <location line="-4"/>
        <location line="+5"/>
        <source>Third space</source>
        <translation>3. Zwischenraum</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fourth line: between the two dots of the F clef</source>
        <translation>4. Linie: zwischen den beiden Punkten des F-Schlüssels</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Top space</source>
        <translation>Oberster Zwischenraum</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Top line (line 5)</source>
        <translation>Oberste Linie (5. Linie)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Just above the top line</source>
        <translation>Direkt über der obersten Linie</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>On a ledger line above the staff</source>
        <translation>Auf einer Hilfslinie über dem Notensystem</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Where the notes from C3 to C5 sit on the staff. Middle C (C4) is written on a short ledger line: below the treble staff, above the bass staff.</source>
        <translation>Wo die Noten von C3 bis C5 im Notensystem stehen. Das mittlere C (C4) steht auf einer kurzen Hilfslinie: im Violinschlüssel unter dem System, im Bassschlüssel darüber.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>On the Staff</source>
        <translation>Im Notensystem</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Where It Sits</source>
        <translation>Wo sie steht</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Treble Clef&lt;br&gt;&lt;span style=&apos;font-weight:normal; font-size:14px;&apos;&gt;Lines from the bottom: E G B D F (Every Good Boy Does Fine). Spaces: F A C E.&lt;/span&gt;</source>
        <translation>Violinschlüssel&lt;br&gt;&lt;span style=&apos;font-weight:normal; font-size:14px;&apos;&gt;Linien von unten: E G H D F. Zwischenräume: F A C E.&lt;/span&gt;</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Bass Clef&lt;br&gt;&lt;span style=&apos;font-weight:normal; font-size:14px;&apos;&gt;Lines from the bottom: G B D F A (Good Boys Do Fine Always). Spaces: A C E G (All Cows Eat Grass).&lt;/span&gt;</source>
        <translation>Bassschlüssel&lt;br&gt;&lt;span style=&apos;font-weight:normal; font-size:14px;&apos;&gt;Linien von unten: G H D F A. Zwischenräume: A C E G.&lt;/span&gt;</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Middle C</source>
        <translation>Mittleres C</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>%1 on the staff</source>
        <translation>%1 im Notensystem</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/reference_book.cpp" line="+48"/>
        <source>Single Notes Reference</source>
        <translation>Einzelne Noten im Überblick</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Intervals Reference</source>
        <translation>Intervalle im Überblick</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Chords Reference</source>
        <translation>Akkorde im Überblick</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Scales Reference</source>
        <translation>Tonleitern im Überblick</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+7"/>
        <source>Tempo Reference</source>
        <translation>Tempo im Überblick</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>Note Lengths Reference</source>
        <translation>Notenwerte im Überblick</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Key Signatures Reference</source>
        <translation>Vorzeichen im Überblick</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Loudness Reference</source>
        <translation>Lautstärke im Überblick</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Note Modifiers Reference</source>
        <translation>Weitere Zeichen im Überblick</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/scales_page.cpp" line="-73"/>
        <source>Major</source>
        <translation>Dur</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Natural Minor</source>
        <translation>Natürliches Moll</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Melodic Minor</source>
        <translation>Melodisches Moll</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Melodic Minor (Descending)</source>
        <translation>Melodisches Moll (abwärts)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Harmonic Minor</source>
        <translation>Harmonisches Moll</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pentatonic Major</source>
        <translation>Dur-Pentatonik</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pentatonic Minor</source>
        <translation>Moll-Pentatonik</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Diminished</source>
        <translation>Verminderte Tonleiter</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Augmented</source>
        <translation>Übermäßige Tonleiter</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Blues</source>
        <translation>Blues-Tonleiter</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Arabian</source>
        <translation>Arabische Tonleiter</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Whole Tone</source>
        <translation>Ganztonleiter</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>H</source>
        <comment>a half step (1 semitone)</comment>
        <translation>½</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>W</source>
        <comment>a whole step (2 semitones)</comment>
        <translation>1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>W+H</source>
        <comment>3 semitones</comment>
        <translation>1½</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>2W</source>
        <comment>4 semitones</comment>
        <translation>2</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Every scale starts on middle C (C4). Steps: W = whole step (2 semitones), H = half step (1 semitone), W+H = 3 semitones, 2W = 4 semitones.</source>
        <translation>Jede Tonleiter beginnt auf dem mittleren C (C4). Schritte: 1 = Ganztonschritt (2 Halbtöne), ½ = Halbtonschritt (1 Halbton), 1½ = 3 Halbtöne, 2 = 4 Halbtöne.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Scale</source>
        <translation>Tonleiter</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Notes and Steps</source>
        <translation>Töne und Schritte</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/symbols_page.cpp" line="+19"/>
        <source>Fortississimo</source>
        <translation>Fortississimo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>As loud as possible: louder than fortissimo.</source>
        <translation>So laut wie möglich: lauter als Fortissimo.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fortissimo</source>
        <translation>Fortissimo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Very loud.</source>
        <translation>Sehr laut.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Forte</source>
        <translation>Forte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Loud (Italian for “strong”).</source>
        <translation>Laut (italienisch für „stark“).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mezzo forte</source>
        <translation>Mezzoforte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Moderately loud: a little softer than forte.</source>
        <translation>Mittellaut: etwas leiser als Forte.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mezzo piano</source>
        <translation>Mezzopiano</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Moderately soft: a little louder than piano.</source>
        <translation>Mittelleise: etwas lauter als Piano.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Piano</source>
        <translation>Piano</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Soft (Italian for “quiet”).</source>
        <translation>Leise (italienisch für „sanft, ruhig“).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pianissimo</source>
        <translation>Pianissimo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Very soft.</source>
        <translation>Sehr leise.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pianississimo</source>
        <translation>Pianississimo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>As soft as possible: softer than pianissimo.</source>
        <translation>So leise wie möglich: leiser als Pianissimo.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sforzando</source>
        <translation>Sforzando</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A sudden, strong accent on one note or chord, then back to the loudness around it.</source>
        <translation>Ein plötzlicher, starker Akzent auf einer Note oder einem Akkord, danach zurück zur Lautstärke davor.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Crescendo</source>
        <translation>Crescendo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Gradually louder, for as long as the opening hairpin (or the word cresc.) lasts.</source>
        <translation>Allmählich lauter, so lange die sich öffnende Gabel (oder das Wort cresc.) reicht.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Diminuendo</source>
        <translation>Diminuendo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Gradually softer, for as long as the closing hairpin (or the word dim.) lasts.</source>
        <translation>Allmählich leiser, so lange die sich schließende Gabel (oder das Wort dim.) reicht.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Arpeggio</source>
        <translation>Arpeggio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Roll the chord: play its notes quickly one after another, from the bottom up.</source>
        <translation>Den Akkord brechen: seine Töne schnell nacheinander spielen, von unten nach oben.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Tremolo</source>
        <translation>Tremolo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Repeat the note (or alternate two notes) very quickly for its whole length.</source>
        <translation>Die Note (oder zwei Noten im Wechsel) während ihrer ganzen Dauer sehr schnell wiederholen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Accent</source>
        <translation>Akzent</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Play the note louder than the notes around it.</source>
        <translation>Die Note lauter spielen als die Noten um sie herum.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Staccato</source>
        <translation>Staccato</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Short and detached: let go of the key early.</source>
        <translation>Kurz und abgesetzt: die Taste früh loslassen.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Staccatissimo</source>
        <translation>Staccatissimo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Very short and sharply detached, shorter than staccato.</source>
        <translation>Sehr kurz und scharf abgesetzt, kürzer als Staccato.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tenuto</source>
        <translation>Tenuto</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hold the note for its full length, with a little weight.</source>
        <translation>Die Note ihre volle Länge aushalten, mit etwas Gewicht.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Marcato</source>
        <translation>Marcato</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Strongly marked: louder and more forceful than an accent.</source>
        <translation>Stark betont: lauter und kräftiger als ein Akzent.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Legato</source>
        <translation>Legato</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A slur over different notes: play them smoothly connected, without gaps.</source>
        <translation>Ein Bindebogen über verschiedenen Noten: Spiel sie gebunden, ohne Lücken.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Tie</source>
        <translation>Haltebogen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Joins two notes of the same pitch: play the first and hold it through the second.</source>
        <translation>Verbindet zwei Noten gleicher Tonhöhe: Spiel die erste und halte sie bis zum Ende der zweiten aus.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pedal Down</source>
        <translation>Pedal treten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Press the sustain (right) pedal.</source>
        <translation>Das Haltepedal (rechts) treten.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pedal Up</source>
        <translation>Pedal lösen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Release the sustain pedal.</source>
        <translation>Das Haltepedal loslassen.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fermata</source>
        <translation>Fermate</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Hold the note or rest longer than written, as long as sounds right.</source>
        <translation>Die Note oder Pause länger aushalten als notiert, so lange es passend klingt.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Trill</source>
        <translation>Triller</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Alternate quickly between the written note and the note above it.</source>
        <translation>Schnell zwischen der notierten Note und der Note darüber wechseln.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Appoggiatura</source>
        <translation>Langer Vorschlag</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A small leaning note played on the beat; it takes time from the main note, usually half.</source>
        <translation>Appoggiatura: eine kleine Vorschlagsnote, auf dem Schlag gespielt; sie nimmt der Hauptnote Zeit weg, meist die Hälfte.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Acciaccatura</source>
        <translation>Kurzer Vorschlag</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A small crossed-out note, crushed in as quickly as possible before the main note.</source>
        <translation>Acciaccatura: eine kleine durchgestrichene Note, so schnell wie möglich vor der Hauptnote eingeschoben.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Ottava Alta</source>
        <translation>Ottava alta</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>8va: play the notes under the line one octave higher.</source>
        <translation>8va: die Noten unter der Linie eine Oktave höher spielen.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ottava Bassa</source>
        <translation>Ottava bassa</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>8vb: play the notes over the line one octave lower.</source>
        <translation>8vb: die Noten über der Linie eine Oktave tiefer spielen.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Repeat</source>
        <translation>Wiederholungszeichen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Go back to the facing repeat sign (or to the beginning) and play the passage again.</source>
        <translation>Zum gegenüberliegenden Wiederholungszeichen (oder zum Anfang) zurückgehen und den Abschnitt noch einmal spielen.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Volta Brackets</source>
        <translation>Voltenklammern</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>First and second endings: play ending 1 the first time; on the repeat skip it and play ending 2.</source>
        <translation>Erster und zweiter Schluss: Beim ersten Mal Klammer 1 spielen; bei der Wiederholung sie überspringen und Klammer 2 spielen.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Flat</source>
        <translation>b</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Lowers the note by a half step: the very next key to the left.</source>
        <translation>Erniedrigt die Note um einen Halbton: die direkt benachbarte Taste links.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Double Flat</source>
        <translation>Doppel-b</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Lowers the note by two half steps (a whole step).</source>
        <translation>Erniedrigt die Note um zwei Halbtöne (einen Ganzton).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sharp</source>
        <translation>Kreuz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Raises the note by a half step: the very next key to the right.</source>
        <translation>Erhöht die Note um einen Halbton: die direkt benachbarte Taste rechts.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Double Sharp</source>
        <translation>Doppelkreuz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Raises the note by two half steps (a whole step).</source>
        <translation>Erhöht die Note um zwei Halbtöne (einen Ganzton).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Natural</source>
        <translation>Auflösungszeichen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancels a sharp or flat: play the plain white key.</source>
        <translation>Hebt ein Kreuz oder b auf: Spiel die einfache weiße Taste.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Symbol</source>
        <translation>Zeichen</translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../src/ui/exercise/reference/tempo_page.cpp" line="-3"/>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Definition</source>
        <translation>Bedeutung</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Dynamics tell how loudly to play. They are Italian words, written in short form below the staff.</source>
        <translation>Die Lautstärkezeichen (Dynamik) geben an, wie laut gespielt wird. Es sind italienische Wörter, die abgekürzt unter dem Notensystem stehen.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Signs written on, above or next to notes that change how they are played.</source>
        <translation>Zeichen auf, über oder neben den Noten, die verändern, wie sie gespielt werden.</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/tempo_page.cpp" line="-85"/>
        <source>Slow and solemn (20-40 bpm)</source>
        <translation>Langsam und ernst (20-40 BPM)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Very slow (40-60 bpm)</source>
        <translation>Sehr langsam, breit (40-60 BPM)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Slow and stately (66-76 bpm)</source>
        <translation>Langsam und getragen (66-76 BPM)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>At a walking pace (76-108 bpm)</source>
        <translation>Gehend (76-108 BPM)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Moderately (101-110 bpm)</source>
        <translation>Mäßig bewegt (101-110 BPM)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fast and bright (120-139 bpm)</source>
        <translation>Schnell und heiter (120-139 BPM)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Lively and fast (130-155 bpm)</source>
        <translation>Lebhaft und schnell (130-155 BPM)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Very fast (168-200 bpm)</source>
        <translation>Sehr schnell (168-200 BPM)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Extremely fast (more than 200 bpm)</source>
        <translation>Äußerst schnell (über 200 BPM)</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Tempo markings tell how fast the beat goes; bpm means beats per minute. The numbers are a guide, not a rule.</source>
        <translation>Tempobezeichnungen geben an, wie schnell der Grundschlag ist; BPM bedeutet Schläge pro Minute (englisch „beats per minute“). Die Zahlen sind ein Anhaltspunkt, keine feste Regel.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Tempo</source>
        <translation>Tempo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/key_signatures_page.cpp" line="+15"/>
        <source>No sharps or flats</source>
        <translation>Keine Vorzeichen</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>1 sharp</source>
        <translation>1 Kreuz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 sharps</source>
        <translation>%1 Kreuze</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1 flat</source>
        <translation>1 b</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 flats</source>
        <translation>%1 b</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The sharps or flats at the start of every staff hold for the whole piece. Each signature belongs to a major key and to its relative minor (lower-case letter), three semitones below. Sharps always come in the order F C G D A E B, flats in the order B E A D G C F.</source>
        <translation>Die Kreuze oder b am Anfang jedes Notensystems gelten für das ganze Stück. Jede Vorzeichnung gehört zu einer Dur-Tonart und zu ihrer parallelen Moll-Tonart (Kleinbuchstabe), drei Halbtöne tiefer. Kreuze kommen immer in der Reihenfolge Fis Cis Gis Dis Ais Eis His, b in der Reihenfolge B Es As Des Ges Ces Fes.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Treble Clef</source>
        <translation>Violinschlüssel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bass Clef</source>
        <translation>Bassschlüssel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Key</source>
        <translation>Tonart</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sharps or Flats</source>
        <translation>Vorzeichen</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>%1 major, %2 minor</source>
        <translation>%1-Dur, %2-Moll</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 in the treble clef</source>
        <translation>%1 im Violinschlüssel</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 in the bass clef</source>
        <translation>%1 im Bassschlüssel</translation>
    </message>
    <message>
        <location filename="../src/ui/exercise/reference/reference_sheet.cpp" line="+296"/>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Play %1</source>
        <translation>%1 abspielen</translation>
    </message>
</context>
<context>
    <name>UI::ReferencePrinter</name>
    <message>
        <location filename="../src/ui/exercise/reference/reference_printer.cpp" line="+36"/>
        <source>Cantorela Reference</source>
        <translation>Cantorela-Nachschlageseite</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>%1 | version %2</source>
        <translation>%1 | Version %2</translation>
    </message>
    <message>
        <location line="+71"/>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
</context>
<context>
    <name>UI::SaveWarningBar</name>
    <message>
        <location filename="../src/ui/save_warning_bar.cpp" line="+18"/>
        <source>Saving problem</source>
        <translation>Problem beim Speichern</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Close the saving warning</source>
        <translation>Warnung zum Speichern schließen</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Your answers could not be saved: the disk is full. They are kept until they can be.</source>
        <translation>Deine Antworten konnten nicht gespeichert werden: Der Datenträger ist voll. Sie bleiben erhalten, bis das Speichern gelingt.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Your answers could not be saved: the folder %1 cannot be written. They are kept until they can be.</source>
        <translation>Deine Antworten konnten nicht gespeichert werden: In den Ordner %1 kann nicht geschrieben werden. Sie bleiben erhalten, bis das Speichern gelingt.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Your answers could not be saved in %1 (%2). They are kept until they can be.</source>
        <translation>Deine Antworten konnten nicht in %1 gespeichert werden (%2). Sie bleiben erhalten, bis das Speichern gelingt.</translation>
    </message>
</context>
<context>
    <name>UI::ScoreBoard</name>
    <message>
        <location filename="../src/ui/widgets/score_board.cpp" line="+102"/>
        <source>Score</source>
        <translation>Noten</translation>
    </message>
    <message>
        <location line="+262"/>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
</context>
<context>
    <name>UI::SectionEndDialog</name>
    <message>
        <location filename="../src/ui/dialogs/section_end_dialog.cpp" line="+40"/>
        <source>No answers were given</source>
        <translation>Es wurden keine Antworten gegeben</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Keep practising</source>
        <translation>Übe weiter</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Well done</source>
        <translation>Gut gemacht</translation>
    </message>
    <message>
        <location line="+64"/>
        <source>Total score %1%: %2</source>
        <translation>Gesamtergebnis %1&#xa0;%: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1 right answer, %1 wrong.</source>
        <translation>1 richtige Antwort, %1 falsche.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 right answers, %2 wrong.</source>
        <translation>%1 richtige Antworten, %2 falsche.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Total score</source>
        <translation>Gesamtergebnis</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>%1%</source>
        <translation>%1&#xa0;%</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Total score %1: %2</source>
        <translation>Gesamtergebnis %1: %2</translation>
    </message>
</context>
<context>
    <name>UI::SectionSettingsTab</name>
    <message>
        <location filename="../src/ui/settings/section_settings_tab.cpp" line="+24"/>
        <location line="+3"/>
        <source>Single Notes</source>
        <translation>Einzelne Noten</translation>
    </message>
    <message>
        <location line="-2"/>
        <location line="+3"/>
        <source>Intervals</source>
        <translation>Intervalle</translation>
    </message>
    <message>
        <location line="-2"/>
        <location line="+3"/>
        <source>Chords</source>
        <translation>Akkorde</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/settings/section_settings_tab_switches.cpp" line="+203"/>
        <source>Scales</source>
        <translation>Tonleitern</translation>
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
        <translation>Notenwerte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Key Signatures</source>
        <translation>Vorzeichen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Loudness</source>
        <translation>Lautstärke</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Note Modifiers</source>
        <translation>Weitere Zeichen</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>%1 settings</source>
        <translation>Einstellungen: %1</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Range of keys</source>
        <translation>Tastenbereich</translation>
    </message>
    <message numerus="yes">
        <location line="+22"/>
        <source>%n semitone(s)</source>
        <translation>
            <numerusform>%n Halbton</numerusform>
            <numerusform>%n Halbtöne</numerusform>
        </translation>
    </message>
    <message>
        <location line="+17"/>
        <source>At least one of “%1” stays on, or there would be nothing to ask.</source>
        <translation>Mindestens eine Option unter „%1“ bleibt an, sonst gäbe es nichts zu fragen.</translation>
    </message>
    <message>
        <location line="+64"/>
        <source>These settings leave nothing to ask in this section. Widen the range of keys or switch more on.</source>
        <translation>Mit diesen Einstellungen gibt es in diesem Abschnitt nichts zu fragen. Erweitere den Tastenbereich oder schalte mehr ein.</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Not changed: every section would be off. At least one section of the lesson needs questions.</source>
        <translation>Nicht geändert: Alle Abschnitte wären aus. Mindestens ein Abschnitt der Lektion braucht Fragen.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Not changed: no key of this range has the colour asked for. Widen the range or allow the other keys.</source>
        <translation>Nicht geändert: Keine Taste in diesem Bereich hat die gewählte Farbe. Erweitere den Bereich oder erlaube die anderen Tasten.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Not changed: the smallest interval would be larger than the largest one.</source>
        <translation>Nicht geändert: Das kleinste Intervall wäre größer als das größte.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not changed: no interval of these sizes fits this range of keys. Widen the range or the sizes.</source>
        <translation>Nicht geändert: Kein Intervall dieser Größen passt in diesen Tastenbereich. Erweitere den Bereich oder die Größen.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not changed: no chord of these types and inversions has its root in this range of keys.</source>
        <translation>Nicht geändert: Kein Akkord dieser Arten und Umkehrungen hat seinen Grundton in diesem Tastenbereich.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not changed: no scale of these kinds starts in this range of keys.</source>
        <translation>Nicht geändert: Keine Tonleiter dieser Arten beginnt in diesem Tastenbereich.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not changed: no piece is played in Prestissimo, so at least one other tempo stays on.</source>
        <translation>Nicht geändert: Kein Stück wird im Prestissimo gespielt, daher bleibt mindestens ein anderes Tempo an.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not changed: rests need a note length to go with; keep one length on.</source>
        <translation>Nicht geändert: Pausen brauchen einen Notenwert dazu; lass einen Notenwert an.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not changed: this section would have nothing to ask.</source>
        <translation>Nicht geändert: Dieser Abschnitt hätte nichts zu fragen.</translation>
    </message>
    <message>
        <location filename="../src/ui/settings/section_settings_tab_switches.cpp" line="-175"/>
        <source>Major triad</source>
        <translation>Dur-Dreiklang</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor triad</source>
        <translation>Moll-Dreiklang</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major sixth</source>
        <translation>Dur mit Sexte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor sixth</source>
        <translation>Moll mit Sexte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Major seventh</source>
        <translation>Großer Septakkord</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minor seventh</source>
        <translation>Moll-Septakkord</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Dominant seventh</source>
        <translation>Dominantseptakkord</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Suspended second</source>
        <translation>Sekundvorhalt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Suspended fourth</source>
        <translation>Quartvorhalt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sixth, suspended second</source>
        <translation>Sexte, Sekundvorhalt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Sixth, suspended fourth</source>
        <translation>Sexte, Quartvorhalt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Seventh, suspended second</source>
        <translation>Septime, Sekundvorhalt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Seventh, suspended fourth</source>
        <translation>Septime, Quartvorhalt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Augmented</source>
        <translation>Übermäßiger Dreiklang</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Augmented sixth</source>
        <translation>Übermäßig mit Sexte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Augmented seventh</source>
        <translation>Übermäßiger Septakkord</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Diminished</source>
        <translation>Verminderter Dreiklang</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Diminished seventh</source>
        <translation>Verminderter Septakkord</translation>
    </message>
    <message>
        <location line="+125"/>
        <source>Chord types</source>
        <translation>Akkordarten</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Written as %1</source>
        <translation>Geschrieben als %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Inversions</source>
        <translation>Umkehrungen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Root position (always asked)</source>
        <translation>Grundstellung (wird immer gefragt)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>First inversion</source>
        <translation>1. Umkehrung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Second inversion</source>
        <translation>2. Umkehrung</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Playing and writing</source>
        <translation>Spielweise und Notation</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Arpeggiated</source>
        <translation>Gebrochen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The chord&apos;s notes are played one after the other</source>
        <translation>Die Töne des Akkords erklingen nacheinander</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Chord symbols (play Cmaj7 from its name)</source>
        <translation>Akkordsymbole (Cmaj7 nach dem Namen spielen)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Questions show a chord symbol, and the chord is played on the keys</source>
        <translation>Die Fragen zeigen ein Akkordsymbol, und du spielst den Akkord auf den Tasten</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Direction</source>
        <translation>Richtung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ascending</source>
        <translation>Aufwärts</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Descending</source>
        <translation>Abwärts</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Modes</source>
        <translation>Modi</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Apply different scale modes</source>
        <translation>Verschiedene Tonleitermodi verwenden</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Tempo markings</source>
        <translation>Tempobezeichnungen</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Prestissimo (no pieces)</source>
        <translation>Prestissimo (keine Stücke)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No piece is played in Prestissimo: it asks nothing by itself</source>
        <translation>Kein Stück wird im Prestissimo gespielt: Allein fragt es nichts ab</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Note lengths</source>
        <translation>Notenwerte</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Key signatures</source>
        <translation>Vorzeichen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Loudness marks</source>
        <translation>Lautstärkezeichen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Note modifiers</source>
        <translation>Weitere Zeichen</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Rests</source>
        <translation>Pausen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Rests of these lengths too</source>
        <translation>Auch Pausen dieser Notenwerte</translation>
    </message>
</context>
<context>
    <name>UI::SoundCheckDialog</name>
    <message>
        <location filename="../src/ui/dialogs/sound_check_dialog.cpp" line="+35"/>
        <source>Note %1</source>
        <translation>Note %1</translation>
    </message>
    <message>
        <location line="+23"/>
        <location line="+3"/>
        <source>Test my keyboard and sound</source>
        <translation>Keyboard und Klang testen</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Keys you press</source>
        <translation>Gedrückte Tasten</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+4"/>
        <source>Play a test tone</source>
        <translation>Testton spielen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plays A4 for a second through the sound output.</source>
        <translation>Spielt eine Sekunde lang A4 über die Tonausgabe.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Press a key to measure how soon it sounds.</source>
        <translation>Drück eine Taste, um zu messen, wie schnell sie erklingt.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Key to sound is measured with the built-in synthesizer.</source>
        <translation>Die Zeit von der Taste bis zum Klang wird mit dem eingebauten Synthesizer gemessen.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The sound comes late enough to feel. A shorter audio period, a low-latency audio server or JACK brings it closer to your fingers.</source>
        <translation>Der Klang kommt spürbar verzögert. Eine kürzere Audio-Periode, ein Audioserver mit geringer Latenz oder JACK bringt ihn näher an deine Finger.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>No MIDI device plugged in.</source>
        <translation>Kein MIDI-Gerät angeschlossen.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plug in a MIDI keyboard to test it.</source>
        <translation>Schließ ein MIDI-Keyboard an, um es zu testen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Listening to %1.</source>
        <translation>Empfang von %1.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Press keys on your MIDI keyboard.</source>
        <translation>Drück Tasten auf deinem MIDI-Keyboard.</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>%1, velocity %2</source>
        <translation>%1, Anschlagstärke %2</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Key to sound: %1 ms (audio buffer %L2 ms, audio server %L3 ms)</source>
        <translation>Taste bis Klang: %1 ms (Audiopuffer %L2 ms, Audioserver %L3 ms)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Key to sound: %1 ms (audio buffer %L2 ms)</source>
        <translation>Taste bis Klang: %1 ms (Audiopuffer %L2 ms)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1: %L2 ms from the key reaching the program to the synthesizer starting it</source>
        <translation>%1: %L2 ms vom Eintreffen der Taste im Programm bis zum Start im Synthesizer</translation>
    </message>
</context>
<context>
    <name>UI::SpeakerWidget</name>
    <message>
        <location filename="../src/ui/exercise/speaker_widget.cpp" line="+22"/>
        <source>Listen</source>
        <translation>Hör zu</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+23"/>
        <source>The question is heard, not shown.</source>
        <translation>Die Frage ist zu hören, nicht zu sehen.</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>The question is playing.</source>
        <translation>Die Frage wird gespielt.</translation>
    </message>
</context>
<context>
    <name>UI::SplashDialog</name>
    <message>
        <location filename="../src/ui/dialogs/splash_dialog.cpp" line="+31"/>
        <source>Starting…</source>
        <translation>Wird gestartet …</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Music reading and ear training</source>
        <translation>Notenlesen und Gehörbildung</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>UI::StatisticsPane</name>
    <message>
        <location filename="../src/ui/exercise/statistics_pane.cpp" line="+48"/>
        <source>notes</source>
        <translation>die Noten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>intervals</source>
        <translation>die Intervalle</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>chords</source>
        <translation>die Akkorde</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>scales</source>
        <translation>die Tonleitern</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>tempo</source>
        <translation>das Tempo</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>note lengths</source>
        <translation>die Notenwerte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>key signatures</source>
        <translation>die Vorzeichen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>loudness</source>
        <translation>die Lautstärke</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>note modifiers</source>
        <translation>die weiteren Zeichen</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>Mistakes and progress</source>
        <translation>Fehler und Fortschritt</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Common mistakes</source>
        <translation>Häufige Fehler</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+2"/>
        <location line="+286"/>
        <location line="+27"/>
        <location line="+19"/>
        <location line="+8"/>
        <source>Print worksheet</source>
        <translation>Arbeitsblatt drucken</translation>
    </message>
    <message>
        <location line="-339"/>
        <source>A worksheet of the items of this section you find hardest, with an answer key</source>
        <translation>Ein Arbeitsblatt mit den Aufgaben dieses Abschnitts, die dir am schwersten fallen, mit Lösungen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Print…</source>
        <translation>Drucken…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Save as PDF…</source>
        <translation>Als PDF speichern…</translation>
    </message>
    <message>
        <location line="+78"/>
        <source>This is your score for %1.</source>
        <translation>Das ist dein Ergebnis für %1.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>
For details, hover over a keyboard note below.</source>
        <translation>
Einzelheiten siehst du, wenn du mit der Maus auf eine Taste der Klaviatur unten zeigst.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;nbsp;&amp;nbsp;&amp;nbsp;This is your score for all %1 within octave &lt;b style=&apos;color:blue; font-size:18px;&apos;&gt;%2&lt;/b&gt;&lt;img src=&apos;:/PIX/pixmap/pointer.png&apos;/&gt;&lt;br&gt;</source>
        <translation>&amp;nbsp;&amp;nbsp;&amp;nbsp;Das ist dein Ergebnis für %1 in der Oktave &lt;b style=&apos;color:blue; font-size:18px;&apos;&gt;%2&lt;/b&gt;&lt;img src=&apos;:/PIX/pixmap/pointer.png&apos;/&gt;&lt;br&gt;</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>View History</source>
        <translation>Verlauf anzeigen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View quiz statistics</source>
        <translation>Quiz-Statistik anzeigen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View lesson statistics</source>
        <translation>Lektionsstatistik anzeigen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Clear History</source>
        <translation>Verlauf löschen</translation>
    </message>
    <message>
        <location line="+70"/>
        <source>Nothing answered within this octave yet.</source>
        <translation>In dieser Oktave noch nichts beantwortet.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nothing answered in this section yet.</source>
        <translation>In diesem Abschnitt noch nichts beantwortet.</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>Asked: %1</source>
        <translation>Gefragt war: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>You answered: %1</source>
        <translation>Deine Antwort: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Note Trainer</source>
        <translation>Notentrainer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Ear Trainer</source>
        <translation>Gehörtrainer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Music Symbols</source>
        <translation>Musikzeichen</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Cantorela worksheet.pdf</source>
        <translation>Cantorela-Arbeitsblatt.pdf</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cantorela worksheet - %1.pdf</source>
        <translation>Cantorela-Arbeitsblatt - %1.pdf</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>There are no weak spots in %1 yet. Answer some of its questions, and the worksheet will gather the ones you found hardest.</source>
        <translation>Für %1 gibt es noch keine Schwächen. Beantworte ein paar Fragen daraus, dann sammelt das Arbeitsblatt die, die dir am schwersten fallen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>this section</source>
        <translation>diesen Abschnitt</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>The items of %1 are only heard: there is nothing to put on paper.</source>
        <translation>Die Aufgaben von %1 sind nur zu hören: Es gibt nichts aufs Papier zu bringen.</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>The worksheet could not be printed.
%1</source>
        <translation>Das Arbeitsblatt konnte nicht gedruckt werden.
%1</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+12"/>
        <source>Save worksheet as PDF</source>
        <translation>Arbeitsblatt als PDF speichern</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The worksheet could not be saved as %1.
%2</source>
        <translation>Das Arbeitsblatt konnte nicht als %1 gespeichert werden.
%2</translation>
    </message>
</context>
<context>
    <name>UI::TrainerSettingsPage</name>
    <message>
        <location filename="../src/ui/settings/trainer_settings_page.cpp" line="+20"/>
        <source>Note Trainer settings</source>
        <translation>Einstellungen: Notentrainer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ear Trainer settings</source>
        <translation>Einstellungen: Gehörtrainer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Music Symbols settings</source>
        <translation>Einstellungen: Musikzeichen</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>Settings of the trainer</source>
        <translation>Einstellungen des Trainers</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Settings cannot be changed in a quiz mode.</source>
        <translation>Im Quiz können die Einstellungen nicht geändert werden.</translation>
    </message>
</context>
<context>
    <name>UI::Worksheet</name>
    <message>
        <location filename="../src/ui/exercise/worksheet.cpp" line="+307"/>
        <source>Worksheet: %1 — %2</source>
        <translation>Arbeitsblatt: %1 – %2</translation>
    </message>
    <message>
        <location line="+64"/>
        <source>There is no printer to print the worksheet on.</source>
        <translation>Es gibt keinen Drucker, auf dem das Arbeitsblatt gedruckt werden kann.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The worksheet could not be printed: printing could not begin.</source>
        <translation>Das Arbeitsblatt konnte nicht gedruckt werden: Der Druck konnte nicht beginnen.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The worksheet could not be printed: page %1 could not be started.</source>
        <translation>Das Arbeitsblatt konnte nicht gedruckt werden: Seite %1 konnte nicht begonnen werden.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The worksheet could not be printed.</source>
        <translation>Das Arbeitsblatt konnte nicht gedruckt werden.</translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+21"/>
        <source>The worksheet could not be saved as %1: %2</source>
        <translation>Das Arbeitsblatt konnte nicht als %1 gespeichert werden: %2</translation>
    </message>
    <message>
        <location line="+57"/>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Date:</source>
        <translation>Datum:</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Write the name of each item in the box under it.</source>
        <translation>Schreib den Namen jeder Aufgabe in das Kästchen darunter.</translation>
    </message>
    <message>
        <location line="+57"/>
        <source>Answer Key</source>
        <translation>Lösungen</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
</context>
<context>
    <name>ex_difficulty_level_dialog</name>
    <message>
        <location filename="../src/ui/dialogs/difficulty_level_dialog.ui" line="+14"/>
        <location line="+138"/>
        <location line="+51"/>
        <source>Please select difficulty level</source>
        <translation>Bitte wähle den Schwierigkeitsgrad</translation>
    </message>
    <message>
        <location line="-186"/>
        <source>Difficulty level</source>
        <translation>Schwierigkeitsgrad</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Choose the difficulty level of the lesson&apos;s questions.</source>
        <translation>Wähle den Schwierigkeitsgrad für die Fragen der Lektion.</translation>
    </message>
    <message>
        <location line="+211"/>
        <location line="+3"/>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Close the dialog without starting a lesson (Escape).</source>
        <translation>Schließt den Dialog, ohne eine Lektion zu starten (Esc).</translation>
    </message>
    <message>
        <location line="+35"/>
        <location line="+3"/>
        <source>Level 1</source>
        <translation>Stufe 1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Start with the questions of difficulty level 1 (key 1).</source>
        <translation>Mit den Fragen der Schwierigkeitsstufe 1 beginnen (Taste 1).</translation>
    </message>
    <message>
        <location line="+32"/>
        <location line="+3"/>
        <source>Level 2</source>
        <translation>Stufe 2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Start with the questions of difficulty level 2 (key 2).</source>
        <translation>Mit den Fragen der Schwierigkeitsstufe 2 beginnen (Taste 2).</translation>
    </message>
    <message>
        <location line="+32"/>
        <location line="+3"/>
        <source>Level 3</source>
        <translation>Stufe 3</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Start with the questions of difficulty level 3 (key 3).</source>
        <translation>Mit den Fragen der Schwierigkeitsstufe 3 beginnen (Taste 3).</translation>
    </message>
    <message>
        <location line="+32"/>
        <location line="+3"/>
        <source>Level 4</source>
        <translation>Stufe 4</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Start with the questions of difficulty level 4 (key 4).</source>
        <translation>Mit den Fragen der Schwierigkeitsstufe 4 beginnen (Taste 4).</translation>
    </message>
    <message>
        <location line="+32"/>
        <location line="+3"/>
        <source>Level 5</source>
        <translation>Stufe 5</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Start with the questions of difficulty level 5 (key 5).</source>
        <translation>Mit den Fragen der Schwierigkeitsstufe 5 beginnen (Taste 5).</translation>
    </message>
    <message>
        <location line="+19"/>
        <location line="+34"/>
        <source>Use your custom settings</source>
        <translation>Eigene Einstellungen verwenden</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+6"/>
        <source>Custom</source>
        <translation>Eigene</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>Start with your own question settings.</source>
        <translation>Mit deinen eigenen Frageeinstellungen beginnen.</translation>
    </message>
    <message>
        <location line="+26"/>
        <location line="+6"/>
        <source>Do not show next time</source>
        <translation>Nächstes Mal nicht anzeigen</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>Start learning lessons at once from now on, without asking for the level.</source>
        <translation>Lernlektionen ab jetzt sofort starten, ohne nach der Stufe zu fragen.</translation>
    </message>
</context>
<context>
    <name>ex_section_end_dialog</name>
    <message>
        <location filename="../src/ui/dialogs/section_end_dialog.ui" line="+14"/>
        <location line="+147"/>
        <location line="+3"/>
        <source>Total score.</source>
        <translation>Gesamtergebnis.</translation>
    </message>
    <message>
        <location line="-147"/>
        <source>Section end</source>
        <translation>Abschnittsende</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Your total score for the lesson, with the choices to continue, repeat the lesson or review the statistics.</source>
        <translation>Dein Gesamtergebnis der Lektion, mit der Wahl, weiterzumachen, die Lektion zu wiederholen oder die Statistik anzusehen.</translation>
    </message>
    <message>
        <location line="+117"/>
        <location line="+37"/>
        <source>Total score</source>
        <translation>Gesamtergebnis</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Right and wrong answers</source>
        <translation>Richtige und falsche Antworten</translation>
    </message>
    <message>
        <location line="+28"/>
        <location line="+6"/>
        <source>Continue</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>Leave the lesson and go back to the trainers.</source>
        <translation>Die Lektion verlassen und zurück zu den Trainern gehen.</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+6"/>
        <source>Repeat</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>Run the lesson again.</source>
        <translation>Die Lektion noch einmal durchgehen.</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+6"/>
        <source>Review statistics</source>
        <translation>Statistik ansehen</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>Show the statistics of your answers.</source>
        <translation>Zeigt die Statistik deiner Antworten.</translation>
    </message>
</context>
</TS>
