#pragma once
// The groups of assets the generator adds to its book, one source file each.

#include <QString>

class AssetBook;

// Tool bar, buttons, indicators, progress bars, backgrounds: ":/PIX/pixmap/…" and the level
// buttons ":/pixmap/btn_reset_N_normal.png".
void AddInterfacePictures(AssetBook& book);
// The on-screen piano's key pictures and octave highlights, ":/pixmap/GKC/…".
void AddKeyboardPictures(AssetBook& book);
// The symbol trainer's engraved pictures, ":/pixmap/exercise/…". False when the music font or
// the engraver fails.
bool AddSymbolPictures(AssetBook& book, QString* error);
// The answer sounds, ":/wav/right.wav" and ":/wav/wrong.wav".
void AddAnswerSounds(AssetBook& book);
