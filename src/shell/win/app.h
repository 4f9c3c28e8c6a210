// The application object: service check, single instance, GDI+ and the main window's life.
#pragma once

#include <windows.h>

class CQX_ScriboApp {
public:
    int run(HINSTANCE instance);
};
