#pragma once

// Resource numbers of the Windows program (win32_resources.rc.in).
#define GLIMMERFALL_ICON 1
