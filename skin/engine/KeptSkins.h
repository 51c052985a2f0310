// Skins loaded before, kept as the models they were loaded into: a program that switches between
// a few skins decodes each of them once. A kept model is given again only while its source is as
// it was: a skin stored with the program or a packed file holds the same bytes, a folder lists
// every entry with the name, size and time of last change it had (one listing of the folder; under
// Wine each file opened costs far more than decoding it). The two skins loaded last are kept: the
// one in use and the one before it.
//
// A folder's listing also finds each file the skin names, with its size: a file of a first load is
// opened, read in one read and closed, three calls of the system and no more, the files the skin
// names read side by side on the system's thread pool while the loader decodes them in its order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "skin/engine/core/acSkinModel.h"

// The skin of a folder with Options.dat; nullptr with an error text when it cannot be loaded.
std::shared_ptr<const qv::TSkinModel> LoadFolderSkin(const std::filesystem::path& Folder, std::string& Error);
// The skin of a packed file.
std::shared_ptr<const qv::TSkinModel> LoadPackedSkinFile(const std::filesystem::path& File, std::string& Error);
// A skin stored with the program under Name, from its packed bytes.
std::shared_ptr<const qv::TSkinModel> LoadStoredSkin(const std::string& Name, const std::uint8_t* Data,
                                                     std::size_t Size, std::string& Error);

// Forgets the skins kept (each is read and decoded from its source again).
void ForgetKeptSkins();
