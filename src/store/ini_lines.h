#pragma once

// The INI line reader of the Windows build when no inih source is given:
// the same rules as the inih the Linux build links (Debian's defaults), so
// that ini_file.cpp reads a file the same way on both platforms.
//   - lines come from `reader` (as from fgets) into a buffer of 200 bytes;
//   - a UTF-8 byte order mark before the first line is skipped;
//   - spaces are trimmed at both ends; a line starting with ';' or '#' and
//     an empty line are skipped;
//   - "[name]" starts a section (the name taken as written, at most 49
//     bytes, anything after ']' ignored);
//   - "key = value" or "key: value" gives an entry; ';' after a space starts
//     a comment, in the key as in the value;
//   - an indented line after an entry continues it: the handler gets the
//     previous key again with the whole trimmed line (comment and all) as
//     its value;
//   - anything else is an error.
// The handler returns 0 to refuse an entry, which counts as an error on that
// line. Reading goes on after an error; the result is the first error's line
// number, or 0.
using IniLineReader = char* (*)(char* out, int room, void* stream);
using IniEntryHandler = int (*)(void* user, const char* section, const char* key, const char* value);

int parseIniLines(IniLineReader reader, void* stream, IniEntryHandler handler, void* user);
