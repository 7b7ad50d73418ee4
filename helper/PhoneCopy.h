#pragma once
// The two helper steps on any phone (adb or demo).
//
// A pull never leaves a partial copy: the bytes go to a temporary file
// beside the copy (the copy's name with ".part"), whose size must equal the
// phone file's, and only then is it renamed over the copy. The database's
// "-wal" and "-journal" files come along when the phone has them (SQLite
// needs them to see the latest changes); an old local one that the phone
// no longer has is deleted, so that it cannot be mistaken for the new
// copy's. A failed pull leaves an earlier copy at the local path as it was.

#include <string>

#include "helper/PhoneFiles.h"

namespace adbhelper {

// The endings of a database's side files.
extern const char* const kSideFileSuffixes[2];  // "-wal", "-journal"

// Where a pull puts the bytes before they are complete.
std::string TemporaryCopyPath(const std::string& localPath);

// "shell su root chmod 777 PATH": checks the connection, that root works
// and that PATH exists. Changes nothing on the phone.
StepResult RunShellStep(PhoneFiles& phone, const std::string& phonePath);

// "pull PATH LOCAL": copies PATH and its side files, creating LOCAL's folder
// when it is missing.
StepResult RunPullStep(PhoneFiles& phone, const std::string& phonePath, const std::string& localPath);

}  // namespace adbhelper
