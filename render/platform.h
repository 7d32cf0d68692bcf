// What the program needs to know about the system it runs on.
#pragma once

// Wine stands in for Windows on other systems; a few of its parts behave differently.
bool RunningOnWine();
