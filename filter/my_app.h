// The toolkit's application object, created by the factory registered at load.
#pragma once
#include <wx/app.h>

class MyApp : public wxApp {
public:
    bool OnInit() override { return wxAppConsole::OnInit(); }
};
