// Skins loaded from folders, kept in memory as the files they were read from: opening a skin's
// hundred files costs far more than decoding them (under Wine each open is a round trip to the
// server), so a folder skin loaded again while nothing in its folder changed is decoded from the
// bytes already read. A folder is known unchanged by one listing of it: every entry's name, size
// and time of last change as they were when its files were read. That listing also finds each file
// the skin names, with its size: a file is then opened, read in one read and closed, three calls of
// the system and no more.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "skin/engine/core/acSkinModel.h"

// The skin of a folder with Options.dat; nullptr with an error text when it cannot be loaded.
std::unique_ptr<qv::TSkinModel> LoadFolderSkin(const std::filesystem::path& Folder, std::string& Error);

// Forgets the files kept (the skins are read from their folders again).
void ForgetFolderSkins();
