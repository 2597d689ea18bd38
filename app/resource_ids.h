// Resource identifiers shared by the resource scripts and the code.
#pragma once

#define IDR_PAYLOAD 1001  // RCDATA: count (1), byte length, then the payload ZIP
