#pragma once

#include <string>

// Names from editions, the reader and the server become file and folder names here. The
// characters Windows forbids ("\/:*?<>|" and '"') and control bytes become '-', so existing
// book folders and stored files keep their names.
std::string ReplaceForbiddenNameChars(const std::string& name);

// One component of a path that cannot leave its folder: forbidden characters replaced, and
// "unnamed" for a name that is empty or only dots. Used for owner folders, reader folders and
// file names taken from the reader's title list.
std::string SafeNameComponent(const std::string& name);
