#pragma once

// The program's start: identity, locale, translator, the main window and the event loop.
int quelt_main(int argc, char *argv[]);
