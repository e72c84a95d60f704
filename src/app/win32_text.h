#pragma once

// Text between the game's UTF-8 and Windows' UTF-16.
#include <string>

std::wstring wideFromUtf8(const std::string& text);
std::string utf8FromWide(const wchar_t* text);
