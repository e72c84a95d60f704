#pragma once

// inih's ini_parse_stream for ini_file.cpp, answered by our own reader
// (store/ini_lines.h): the Windows build's include folder when no inih
// source is given.
#include "store/ini_lines.h"

using ini_reader = IniLineReader;
using ini_handler = IniEntryHandler;

inline int ini_parse_stream(ini_reader reader, void* stream, ini_handler handler, void* user)
{
    return parseIniLines(reader, stream, handler, user);
}
