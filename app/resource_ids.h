// Resource identifiers shared by the resource scripts and the code.
#pragma once

#define IDR_PAYLOAD 1001  // RCDATA: count (1), byte length, then the payload ZIP

#define IDI_PROGRAM 129           // the program icon, eleven images
#define IDR_PICTURE_INITIAL 2001  // RCDATA bitmap files of the usage-notes page
#define IDR_PICTURE_TUTORIAL_1 2002
#define IDR_PICTURE_TUTORIAL_2 2003
#define IDR_PICTURE_TUTORIAL_3 2004
