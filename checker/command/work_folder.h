// Removing the temporary folder a library was checked in without the sandbox, where what a
// routine left there may be anything: links, folders it may not write, a file system it
// mounted there.
#pragma once

#include <string>

// Removes `folder` and everything in it that lies on the folder's own mount; a link is removed,
// never followed, and a file system mounted inside is left as it is, with all it shows. False,
// with why in `problem`, when anything is left.
bool removeWorkFolder(const std::string& folder, std::string& problem);
