// Host tool: writes the installer's payload archive (a plain deflate ZIP), the block the
// installer embeds as a resource (count and length of the archive, then the archive) and the
// archive's CRC-32 beside it (four bytes, little-endian), which the installer checks at start.
//
//   make-payload --writer W.exe --uninstaller U.exe --zip payload.zip --blob payload.bin
//                --crc payload.crc [--sign SIGNER]
//
// The two programs are padded at the end to their entry sizes; the other entries are deterministic
// filler about as compressible as real library files, so the archive is the size of a real one.
// With --sign, each program is signed by running `SIGNER IN OUT`. A signature must be the end of
// the file, so the padding goes in before it: a first signature tells its size, the program is
// padded to its entry size less that, then signed again.
#include <minizip/zip.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "payload_entries.h"

namespace {

using Bytes = std::vector<unsigned char>;

bool ReadFile(const std::string& path, Bytes* out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Fills [from, end) of `data` with blocks of 4 KiB: about 72% noise, the rest a repeated phrase.
void Fill(Bytes* data, size_t from, uint32_t seed) {
    static const char kPhrase[] = "QinglanJianyu writer library data block ";
    uint64_t state = 0x9E3779B97F4A7C15ull ^ seed;
    for (size_t i = from; i < data->size(); i++) {
        size_t inBlock = i % 4096;
        if (inBlock < 2950) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            (*data)[i] = static_cast<unsigned char>(state >> 24);
        } else {
            (*data)[i] = static_cast<unsigned char>(kPhrase[inBlock % (sizeof(kPhrase) - 1)]);
        }
    }
}

bool WriteFile(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(out);
}

bool RunSigner(const std::string& signer, const std::string& in, const std::string& out) {
    std::string command = "'" + signer + "' '" + in + "' '" + out + "'";
    return std::system(command.c_str()) == 0;
}

// Pads `data` (a program) with filler and signs it so that the signed file is `size` bytes.
bool SignToSize(const std::string& signer, const std::string& work, Bytes* data, size_t size,
                uint32_t seed) {
    std::string in = work + ".unsigned", out = work + ".signed";
    Bytes trial;
    if (!WriteFile(in, *data) || !RunSigner(signer, in, out) || !ReadFile(out, &trial))
        return false;
    size_t signature = trial.size() - ((data->size() + 7) & ~size_t(7));
    if (signature >= size - data->size()) return false;
    size_t used = data->size();
    data->resize(size - signature);
    Fill(data, used, seed);
    if (!WriteFile(in, *data) || !RunSigner(signer, in, out) || !ReadFile(out, data)) return false;
    std::remove(in.c_str());
    std::remove(out.c_str());
    return data->size() == size;
}

bool AddEntry(zipFile zf, const PayloadEntry& entry, const Bytes& data) {
    zip_fileinfo info;
    memset(&info, 0, sizeof(info));
    // A fixed time stamp keeps the archive reproducible.
    info.tmz_date.tm_year = 2026;
    info.tmz_date.tm_mon = 0;
    info.tmz_date.tm_mday = 1;
    info.tmz_date.tm_hour = 8;
    info.external_fa = 0x20;  // FILE_ATTRIBUTE_ARCHIVE
    // Level 6 keeps the general-purpose flags 0; no zip64 records.
    if (zipOpenNewFileInZip3_64(zf, entry.name, &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                6, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0,
                                0) != ZIP_OK)
        return false;
    bool ok = zipWriteInFileInZip(zf, data.data(), static_cast<unsigned>(data.size())) == ZIP_OK;
    return zipCloseFileInZip(zf) == ZIP_OK && ok;
}

void PutLittleEndian32(Bytes* out, uint32_t value) {
    for (int b = 0; b < 4; b++) out->push_back(static_cast<unsigned char>(value >> (8 * b)));
}

bool WriteBlob(const std::string& zipPath, const std::string& blobPath,
               const std::string& crcPath) {
    Bytes zip;
    if (!ReadFile(zipPath, &zip)) return false;
    Bytes block;
    PutLittleEndian32(&block, 1);
    PutLittleEndian32(&block, static_cast<uint32_t>(zip.size()));
    block.insert(block.end(), zip.begin(), zip.end());
    // The installer checks the archive against this CRC-32 when it starts.
    Bytes crc;
    PutLittleEndian32(&crc, static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), zip.data(),
                                                        static_cast<uInt>(zip.size()))));
    return WriteFile(blobPath, block) && WriteFile(crcPath, crc);
}

}  // namespace

int main(int argc, char** argv) {
    std::string writer, uninstaller, zipPath, blobPath, crcPath, signer;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string key = argv[i];
        if (key == "--writer")
            writer = argv[i + 1];
        else if (key == "--uninstaller")
            uninstaller = argv[i + 1];
        else if (key == "--zip")
            zipPath = argv[i + 1];
        else if (key == "--blob")
            blobPath = argv[i + 1];
        else if (key == "--crc")
            crcPath = argv[i + 1];
        else if (key == "--sign")
            signer = argv[i + 1];
    }
    if (writer.empty() || uninstaller.empty() || zipPath.empty() || blobPath.empty() ||
        crcPath.empty()) {
        fprintf(stderr,
                "usage: make-payload --writer W --uninstaller U --zip OUT --blob OUT --crc OUT\n");
        return 2;
    }

    zipFile zf = zipOpen64(zipPath.c_str(), APPEND_STATUS_CREATE);
    if (!zf) {
        fprintf(stderr, "make-payload: cannot create %s\n", zipPath.c_str());
        return 1;
    }
    uint32_t seed = 1;
    for (const PayloadEntry& entry : kPayloadEntries) {
        Bytes data;
        const char* program = nullptr;
        if (strcmp(entry.name, kProgramEntry) == 0) program = writer.c_str();
        if (strcmp(entry.name, kUninstallerEntry) == 0) program = uninstaller.c_str();
        if (program && !ReadFile(program, &data)) {
            fprintf(stderr, "make-payload: cannot read %s\n", program);
            return 1;
        }
        if (program && !signer.empty() &&
            !SignToSize(signer, zipPath + ".program", &data, entry.size, seed)) {
            fprintf(stderr, "make-payload: cannot sign %s to %u bytes\n", program, entry.size);
            return 1;
        }
        if (data.size() > entry.size) {
            fprintf(stderr, "make-payload: %s is larger than its entry (%zu > %u bytes)\n", program,
                    data.size(), entry.size);
            return 1;
        }
        size_t used = data.size();
        data.resize(entry.size);
        Fill(&data, used, seed++);
        if (!AddEntry(zf, entry, data)) {
            fprintf(stderr, "make-payload: cannot add entry %u\n", seed - 1);
            return 1;
        }
    }
    if (zipClose(zf, nullptr) != ZIP_OK) {
        fprintf(stderr, "make-payload: cannot finish %s\n", zipPath.c_str());
        return 1;
    }
    if (!WriteBlob(zipPath, blobPath, crcPath)) {
        fprintf(stderr, "make-payload: cannot write %s and %s\n", blobPath.c_str(),
                crcPath.c_str());
        return 1;
    }
    return 0;
}
