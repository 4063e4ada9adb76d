#pragma once

class TApplication;

// Creates the program's eight top-level objects, each once, in their fixed order.
void CreateModules(TApplication &app);
