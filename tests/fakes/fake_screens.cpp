// The screens, counted instead of run, for tests of the rules that open them.
#include "fakes.h"

#include "screens/end_screen.h"
#include "screens/title_menu.h"

void runEndScreen() { ++fake.endScreens; }
void runTitleMenu() { ++fake.titleMenus; }
