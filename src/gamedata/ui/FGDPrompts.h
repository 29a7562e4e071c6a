#pragma once

// Makes the entity definition parser ask the user about each helper it does
// not know ("Unknown Item" box, through CPrompt). The main window installs it
// once; tests install their own hook on CFileFGD instead.
void installFgdPrompts();
