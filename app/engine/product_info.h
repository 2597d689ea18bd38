// The product's version and publisher: the one place they are written. Read by the C++ code (the
// installation record) and by the resource scripts (each program's version information), so it
// holds preprocessor definitions only. UTF-8; narrow literals become GBK in C++ and UTF-16 in the
// version resources.
#pragma once

#define QL_VERSION_MAJOR 1
#define QL_VERSION_MINOR 3
#define QL_VERSION_PATCH 0
#define QL_VERSION_BUILD 0

#define QL_STRINGIFY_(x) #x
#define QL_STRINGIFY(x) QL_STRINGIFY_(x)
// "1.3", as the list of installed programs shows it.
#define QL_DISPLAY_VERSION QL_STRINGIFY(QL_VERSION_MAJOR) "." QL_STRINGIFY(QL_VERSION_MINOR)
// "1.3.0.0", the file and product version of every program.
#define QL_VERSION_TEXT                                                                    \
    QL_DISPLAY_VERSION "." QL_STRINGIFY(QL_VERSION_PATCH) "." QL_STRINGIFY(QL_VERSION_BUILD)

#define QL_PRODUCT_NAME "青岚笺语写作"
#define QL_PUBLISHER "青岚笺语工作室"
#define QL_COPYRIGHT "版权所有 (C) 2026 " QL_PUBLISHER
