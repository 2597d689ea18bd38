// The payload archive the installer carries: a block of a 32-bit count (always 1), a 32-bit byte
// length, then that many bytes of ZIP archive, the words little-endian. The archive's CRC-32,
// computed when the installer was built, is carried beside the block in a resource of its own.
#pragma once

#include <cstddef>
#include <cstdint>

struct PayloadBytes {
    const unsigned char* data = nullptr;
    size_t size = 0;
    uint32_t crc32 = 0;  // what the archive's CRC-32 was when the installer was built
};

// Finds the archive bytes inside a block; false when the block is too short or malformed. Leaves
// `crc32` alone.
bool ParsePayloadBlock(const void* block, size_t blockSize, PayloadBytes* out);

// The CRC-32 resource: exactly four bytes, little-endian; false otherwise.
bool ParsePayloadCrc(const void* bytes, size_t size, uint32_t* crc);

// Whether the archive still has the CRC-32 it was built with: a damaged download is refused at
// start, before anything is written.
bool PayloadIntact(const PayloadBytes& payload);

// The archive embedded as this program's RCDATA resource IDR_PAYLOAD, with its CRC-32 from
// IDR_PAYLOAD_CRC.
bool LoadEmbeddedPayload(PayloadBytes* out);
