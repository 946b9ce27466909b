// Scratch files of a fuzz process: one private folder, removed at exit.
#pragma once

#include <string>

// The folder, created on first use under $TMPDIR, else /dev/shm, else /tmp.
const std::string& ScratchDirectory();

// A path inside the scratch folder.
std::string ScratchPath(const std::string& name);

// Writes bytes to path, replacing what was there. Aborts when it cannot.
void WriteScratchFile(const std::string& path, const std::string& bytes);
