#include "app/win32_text.h"

#include <windows.h>

std::wstring wideFromUtf8(const std::string& text)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(n > 0 ? static_cast<std::size_t>(n) : 1u, L'\0');
    if (n > 0) {
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), n);
    }
    out.resize(out.size() - 1);  // the terminating zero
    return out;
}

std::string utf8FromWide(const wchar_t* text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? static_cast<std::size_t>(n) : 1u, '\0');
    if (n > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    }
    out.resize(out.size() - 1);
    return out;
}
