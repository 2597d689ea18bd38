// Resource identifiers shared by the resource scripts and the code.
#pragma once

// RCDATA: count (1), byte length, then the payload ZIP. The highest RCDATA number, so the archive
// lies near the end of the program file, where ZIP tools look for its directory.
#define IDR_PAYLOAD 9001
// RCDATA: the archive's CRC-32 (four bytes, little-endian), checked at start.
#define IDR_PAYLOAD_CRC 9000

#define IDI_PROGRAM 129           // the program icon, eleven images
#define IDR_PICTURE_INITIAL 2001  // RCDATA bitmap files of the usage-notes page
#define IDR_PICTURE_TUTORIAL_1 2002
#define IDR_PICTURE_TUTORIAL_2 2003
#define IDR_PICTURE_TUTORIAL_3 2004
