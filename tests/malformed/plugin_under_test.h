// The built plug-in, loaded by path and started with the recording host, as
// a host loads it; and a scratch folder for the files the cases make.
#pragma once

#include <string>

#include "abi/host_interface.h"

// The records the started plug-in registered; null when it did not start.
const SourceRegistration* SourceRecord();
const SinkRegistration* SinkRecord();

// A fresh folder per test program, removed at exit.
const std::string& ScratchFolder();
std::string ScratchFile(const std::string& name, const std::string& contents);
