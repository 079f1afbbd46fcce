// The system's ODBC headers, for the data layer's ODBC bridge only. The
// Windows headers need <windows.h> before them; unixODBC's do not.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
