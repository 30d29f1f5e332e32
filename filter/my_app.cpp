#include "filter/my_app.h"

// Registers the application factory once, when the module is loaded.
wxIMPLEMENT_APP_NO_MAIN(MyApp);
