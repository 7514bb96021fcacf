/* Tessaro's version: the one place it is written. The resource script
   (version block, about box) and tessaro-cli's --version read it, so it holds
   C preprocessor definitions only, which the resource compiler understands.
   The texts spell out the numbers because the resource compiler does not join
   adjacent string literals; tessaro-cli checks at compile time that they
   agree with the numbers. */
#ifndef TESSARO_VERSION_H
#define TESSARO_VERSION_H

#define TESSARO_VERSION_MAJOR 1
#define TESSARO_VERSION_MINOR 0
#define TESSARO_VERSION_PATCH 0
#define TESSARO_VERSION_BUILD 1

/* MAJOR.MINOR.PATCH.BUILD, as tessaro-cli --version prints it. */
#define TESSARO_VERSION_TEXT "1.0.0.1"
/* The version block's FileVersion and ProductVersion strings. */
#define TESSARO_VERSION_BLOCK_TEXT "1, 0, 0, 1"
/* The about box's line: MAJOR.MINOR. */
#define TESSARO_ABOUT_VERSION_TEXT "Tessaro Version 1.0"

#endif
