// Fails when the manifest carried by a Windows program names another processor than the one its
// PE header is built for. Wine does not look; Windows refuses to start a 64-bit program whose
// manifest (or whose common-controls dependency) names x86, as "the side-by-side configuration
// is incorrect".
//
//   manifest_matches_machine PROGRAM.exe...
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

std::optional<std::uint32_t> Read(const Bytes& bytes, std::size_t at, int size) {
    if (at > bytes.size() || bytes.size() - at < static_cast<std::size_t>(size)) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
    }
    return value;
}

struct Image {
    Bytes bytes;
    std::uint32_t machine = 0;
    std::uint32_t resourceRva = 0;
    std::size_t sections = 0;
    std::size_t sectionCount = 0;

    // The file offset of a relative virtual address, from the section that holds it.
    std::optional<std::size_t> Offset(std::uint32_t rva) const {
        for (std::size_t i = 0; i < sectionCount; ++i) {
            const std::size_t header = sections + i * 40;
            const auto size = Read(bytes, header + 8, 4);
            const auto start = Read(bytes, header + 12, 4);
            const auto raw = Read(bytes, header + 20, 4);
            if (size && start && raw && rva >= *start && rva - *start < *size) {
                return *raw + (rva - *start);
            }
        }
        return std::nullopt;
    }
};

std::optional<Image> Load(const char* path, std::string& why) {
    std::ifstream file(path, std::ios::binary);
    Image image;
    image.bytes.assign(std::istreambuf_iterator<char>(file), {});
    const auto pe = Read(image.bytes, 0x3c, 4);
    if (!file.good() && !file.eof()) {
        why = "cannot be read";
        return std::nullopt;
    }
    if (!pe || Read(image.bytes, *pe, 4) != 0x4550u) {
        why = "is not a PE file";
        return std::nullopt;
    }
    const auto machine = Read(image.bytes, *pe + 4, 2);
    const auto count = Read(image.bytes, *pe + 6, 2);
    const auto optionalSize = Read(image.bytes, *pe + 20, 2);
    const std::size_t optional = *pe + 24;
    const auto magic = Read(image.bytes, optional, 2);
    if (!machine || !count || !optionalSize || !magic) {
        why = "has a cut PE header";
        return std::nullopt;
    }
    // The resource table is the third data directory, after the export and import tables.
    const std::size_t directories = optional + (*magic == 0x20b ? 112 : 96);
    const auto resources = Read(image.bytes, directories + 2 * 8, 4);
    if (!resources || *resources == 0) {
        why = "carries no resources";
        return std::nullopt;
    }
    image.machine = *machine;
    image.resourceRva = *resources;
    image.sections = optional + *optionalSize;
    image.sectionCount = *count;
    return image;
}

// The entry of a resource directory with this number: the offset (from the resource table's
// start) of what it points to, or of the first entry when id is empty.
std::optional<std::uint32_t> Entry(const Image& image, std::size_t table, std::uint32_t directory,
                                   std::optional<std::uint32_t> id) {
    const auto named = Read(image.bytes, table + directory + 12, 2);
    const auto numbered = Read(image.bytes, table + directory + 14, 2);
    if (!named || !numbered) {
        return std::nullopt;
    }
    for (std::uint32_t i = 0; i < *named + *numbered; ++i) {
        const std::size_t entry = table + directory + 16 + i * 8;
        const auto name = Read(image.bytes, entry, 4);
        const auto target = Read(image.bytes, entry + 4, 4);
        if (name && target && (!id || *name == *id)) {
            return *target & 0x7fffffffu;
        }
    }
    return std::nullopt;
}

std::optional<std::string> Manifest(const Image& image) {
    const auto table = image.Offset(image.resourceRva);
    if (!table) {
        return std::nullopt;
    }
    constexpr std::uint32_t kManifestType = 24;
    constexpr std::uint32_t kProcessManifest = 1;
    const auto names = Entry(image, *table, 0, kManifestType);
    const auto languages = names ? Entry(image, *table, *names, kProcessManifest) : std::nullopt;
    const auto data = languages ? Entry(image, *table, *languages, std::nullopt) : std::nullopt;
    const auto rva = data ? Read(image.bytes, *table + *data, 4) : std::nullopt;
    const auto size = data ? Read(image.bytes, *table + *data + 4, 4) : std::nullopt;
    const auto at = rva ? image.Offset(*rva) : std::nullopt;
    if (!at || !size || *at > image.bytes.size() || image.bytes.size() - *at < *size) {
        return std::nullopt;
    }
    return std::string(image.bytes.begin() + static_cast<std::ptrdiff_t>(*at),
                       image.bytes.begin() + static_cast<std::ptrdiff_t>(*at + *size));
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

bool Check(const char* path) {
    std::string why;
    const auto image = Load(path, why);
    if (!image) {
        std::printf("%s %s\n", path, why.c_str());
        return false;
    }
    const char* expected = image->machine == 0x14c    ? "x86"
                           : image->machine == 0x8664 ? "amd64"
                                                      : nullptr;
    if (!expected) {
        std::printf("%s is built for machine 0x%x, which this check does not know\n", path,
                    static_cast<unsigned>(image->machine));
        return false;
    }
    const auto manifest = Manifest(*image);
    if (!manifest) {
        std::printf("%s carries no process manifest (resource type 24, number 1)\n", path);
        return false;
    }
    // Every assembly identity names a processor: the program's own and each dependency's.
    const std::string attribute = "processorarchitecture=\"";
    const std::string text = Lower(*manifest);
    int named = 0;
    bool good = true;
    for (std::size_t at = text.find(attribute); at != std::string::npos;
         at = text.find(attribute, at + 1)) {
        const std::size_t start = at + attribute.size();
        const std::string value = text.substr(start, text.find('"', start) - start);
        ++named;
        if (value != expected) {
            std::printf("%s is built for %s but its manifest names processorArchitecture=\"%s\"\n",
                        path, expected, value.c_str());
            good = false;
        }
    }
    if (named < 2) {
        std::printf(
            "%s: its manifest names a processor %d times; the program and its common "
            "controls should each name one\n",
            path, named);
        return false;
    }
    if (good) {
        std::printf("%s: built for %s, and its manifest names %s %d times\n", path, expected,
                    expected, named);
    }
    return good;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: manifest_matches_machine PROGRAM.exe...\n");
        return 2;
    }
    bool good = true;
    for (int i = 1; i < argc; ++i) {
        good = Check(argv[i]) && good;
    }
    return good ? 0 : 1;
}
