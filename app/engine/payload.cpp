#include "payload.h"

#include <windows.h>

#include <zlib.h>

#include <cstdint>

#include "resource_ids.h"

namespace {

uint32_t ReadLittleEndian32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

bool ParsePayloadBlock(const void* block, size_t blockSize, PayloadBytes* out) {
    const unsigned char* p = static_cast<const unsigned char*>(block);
    const size_t header = 8;
    if (!p || blockSize < header) return false;
    uint32_t count = ReadLittleEndian32(p);
    uint32_t length = ReadLittleEndian32(p + 4);
    if (count != 1 || length == 0 || length > blockSize - header) return false;
    out->data = p + header;
    out->size = length;
    return true;
}

bool ParsePayloadCrc(const void* bytes, size_t size, uint32_t* crc) {
    if (!bytes || size != 4) return false;
    *crc = ReadLittleEndian32(static_cast<const unsigned char*>(bytes));
    return true;
}

bool PayloadIntact(const PayloadBytes& payload) {
    if (!payload.data) return false;
    // zlib takes at most 4 GiB a call: the archive is far smaller, but the loop costs nothing.
    uLong crc = crc32(0L, Z_NULL, 0);
    const unsigned char* p = payload.data;
    for (size_t left = payload.size; left > 0;) {
        uInt chunk = static_cast<uInt>(left < 0x40000000u ? left : 0x40000000u);
        crc = crc32(crc, p, chunk);
        p += chunk;
        left -= chunk;
    }
    return static_cast<uint32_t>(crc) == payload.crc32;
}

namespace {

// The bytes of this program's RCDATA resource `id`; false when there is none.
bool ResourceBytes(int id, const void** bytes, size_t* size) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    if (!info) return false;
    HGLOBAL loaded = LoadResource(nullptr, info);
    *bytes = loaded ? LockResource(loaded) : nullptr;
    *size = SizeofResource(nullptr, info);
    return *bytes != nullptr;
}

}  // namespace

bool LoadEmbeddedPayload(PayloadBytes* out) {
    const void *block = nullptr, *crc = nullptr;
    size_t blockSize = 0, crcSize = 0;
    return ResourceBytes(IDR_PAYLOAD, &block, &blockSize) &&
           ResourceBytes(IDR_PAYLOAD_CRC, &crc, &crcSize) &&
           ParsePayloadBlock(block, blockSize, out) && ParsePayloadCrc(crc, crcSize, &out->crc32);
}
