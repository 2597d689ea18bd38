#include "payload.h"

#include <windows.h>

#include <cstdint>

#include "resource_ids.h"

namespace {

uint32_t ReadLittleEndian32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

bool ParsePayloadBlock(const void* block, size_t blockSize, PayloadBytes* out) {
    const unsigned char* p = static_cast<const unsigned char*>(block);
    if (!p || blockSize < 8) return false;
    uint32_t count = ReadLittleEndian32(p);
    uint32_t length = ReadLittleEndian32(p + 4);
    if (count != 1 || length == 0 || length > blockSize - 8) return false;
    out->data = p + 8;
    out->size = length;
    return true;
}

bool LoadEmbeddedPayload(PayloadBytes* out) {
    HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_PAYLOAD), MAKEINTRESOURCEA(10));
    if (!info) return false;
    HGLOBAL loaded = LoadResource(nullptr, info);
    const void* block = loaded ? LockResource(loaded) : nullptr;
    return block && ParsePayloadBlock(block, SizeofResource(nullptr, info), out);
}
