// The payload archive the installer carries: a block of a 32-bit count (always 1), a 32-bit byte
// length, then that many bytes of ZIP archive, both words little-endian.
#pragma once

#include <cstddef>

struct PayloadBytes {
    const unsigned char* data = nullptr;
    size_t size = 0;
};

// Finds the archive bytes inside a block; false when the block is too short or malformed.
bool ParsePayloadBlock(const void* block, size_t blockSize, PayloadBytes* out);

// The archive embedded as this program's RCDATA resource IDR_PAYLOAD.
bool LoadEmbeddedPayload(PayloadBytes* out);
