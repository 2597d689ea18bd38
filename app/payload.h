// The payload archive the installer carries: a block of a 32-bit count (always 1), a 32-bit byte
// length, the archive's CRC-32 computed when the installer was built, then that many bytes of ZIP
// archive; the words little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

struct PayloadBytes {
    const unsigned char* data = nullptr;
    size_t size = 0;
    uint32_t crc32 = 0;  // what the archive's CRC-32 was when the installer was built
};

// Finds the archive bytes inside a block; false when the block is too short or malformed.
bool ParsePayloadBlock(const void* block, size_t blockSize, PayloadBytes* out);

// Whether the archive still has the CRC-32 it was built with: a damaged download is refused at
// start, before anything is written.
bool PayloadIntact(const PayloadBytes& payload);

// The archive embedded as this program's RCDATA resource IDR_PAYLOAD.
bool LoadEmbeddedPayload(PayloadBytes* out);
