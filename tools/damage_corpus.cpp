// tablift-damage-corpus: makes damaged copies of Access files the way disks,
// transfers and crashed writers damage them, for the reliability measurement.
//
//   tablift-damage-corpus --out FOLDER [--copies N] [--seed S] FILE.mdb|FILE.accdb...
//
// For every file it writes N copies of each kind of damage (5 kinds), named
// <file>-<kind>-<n> with the original's ending: "truncated" (cut anywhere, inside the header page,
// at and between page boundaries), "header" (random bytes in the header
// page), "tdef" (random bytes in a table definition page), "usagemap" (the
// usage-map pointers of a table definition, or the usage-map row they point
// at, scribbled over) and "data" (random bytes and a run of garbage in data
// and index pages).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

constexpr unsigned char kDataPage = 0x01;
constexpr unsigned char kTableDefinitionPage = 0x02;
constexpr unsigned char kIndexNodePage = 0x03;
constexpr unsigned char kIndexLeafPage = 0x04;

struct Layout {
  std::size_t pageSize;
  std::size_t usageMapPointers;  // offset in a table definition page
  std::size_t rowCount;          // offset of a data page's row count
  std::size_t rowOffsets;        // offset of its row offset table
};

Layout LayoutOf(const Bytes& file) {
  // The version byte: 0 for Jet 3 (2 KiB pages), above for Jet 4 and later.
  const bool jet3 = file.size() > 0x14 && file[0x14] == 0;
  return jet3 ? Layout{2048, 0x23, 0x08, 0x0A} : Layout{4096, 0x37, 0x0C, 0x0E};
}

std::vector<std::size_t> PagesOfType(const Bytes& file, const Layout& layout,
                                     std::initializer_list<unsigned char> types) {
  std::vector<std::size_t> pages;
  for (std::size_t page = 1; (page + 1) * layout.pageSize <= file.size(); ++page) {
    for (const unsigned char type : types) {
      if (file[page * layout.pageSize] == type) pages.push_back(page);
    }
  }
  return pages;
}

class Damager {
 public:
  explicit Damager(unsigned seed) : random_(seed) {}

  std::size_t below(std::size_t limit) {
    return limit == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, limit - 1)(random_);
  }
  unsigned char byte() { return static_cast<unsigned char>(below(256)); }

  // Random bytes at `count` places of [from, from + length).
  void scribble(Bytes& file, std::size_t from, std::size_t length, int count) {
    for (int i = 0; i < count && length > 0; ++i) {
      const std::size_t at = from + below(length);
      if (at < file.size()) file[at] = byte();
    }
  }

  Bytes truncated(Bytes file, const Layout& layout) {
    const std::size_t pages = file.size() / layout.pageSize;
    switch (below(3)) {
      case 0:  // inside the header page
        file.resize(below(layout.pageSize));
        break;
      case 1:  // at a page boundary
        file.resize(layout.pageSize * (1 + below(pages > 1 ? pages - 1 : 1)));
        break;
      default:  // anywhere
        file.resize(below(file.size()));
        break;
    }
    return file;
  }

  Bytes header(Bytes file, const Layout& layout) {
    scribble(file, 0, std::min(layout.pageSize, file.size()), 1 + static_cast<int>(below(16)));
    return file;
  }

  Bytes inPages(Bytes file, const Layout& layout, const std::vector<std::size_t>& pages) {
    if (pages.empty()) return header(std::move(file), layout);
    const std::size_t page = pages[below(pages.size())];
    scribble(file, page * layout.pageSize, layout.pageSize, 1 + static_cast<int>(below(24)));
    if (below(2) == 0) {  // and a run of garbage
      const std::size_t start = page * layout.pageSize + below(layout.pageSize);
      for (std::size_t i = start; i < std::min(file.size(), start + 1 + below(128)); ++i)
        file[i] = byte();
    }
    return file;
  }

  Bytes usageMap(Bytes file, const Layout& layout) {
    const auto definitions = PagesOfType(file, layout, {kTableDefinitionPage});
    if (definitions.empty()) return header(std::move(file), layout);
    const std::size_t definition = definitions[below(definitions.size())] * layout.pageSize;
    const std::size_t pointer = definition + layout.usageMapPointers + 4 * below(2);
    if (below(3) == 0) {  // the pointer itself
      scribble(file, pointer, 4, 1 + static_cast<int>(below(4)));
      return file;
    }
    // The row it points at: row number, then a three-byte page number.
    const std::size_t row = file[pointer];
    const std::size_t page =
        file[pointer + 1] | (file[pointer + 2] << 8) | (file[pointer + 3] << 16);
    const std::size_t at = page * layout.pageSize;
    if (at + layout.pageSize > file.size() || file[at] != kDataPage) {
      scribble(file, pointer, 4, 2);
      return file;
    }
    const std::size_t rows = file[at + layout.rowCount] | (file[at + layout.rowCount + 1] << 8);
    if (row >= rows) {
      scribble(file, pointer, 4, 2);
      return file;
    }
    const std::size_t entry = at + layout.rowOffsets + 2 * row;
    const std::size_t start = (file[entry] | (file[entry + 1] << 8)) & 0x1FFF;
    const std::size_t end =
        row == 0 ? layout.pageSize : (file[entry - 2] | (file[entry - 1] << 8)) & 0x1FFF;
    if (start >= end || end > layout.pageSize) {
      scribble(file, pointer, 4, 2);
      return file;
    }
    scribble(file, at + start, end - start, 1 + static_cast<int>(below(12)));
    return file;
  }

 private:
  std::mt19937 random_;
};

bool WriteFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

int Usage(const char* problem) {
  std::fprintf(stderr,
               "tablift-damage-corpus: %s\nUsage: tablift-damage-corpus --out FOLDER [--copies N] "
               "[--seed S] FILE.mdb...\n",
               problem);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path out;
  int copies = 7;
  unsigned seed = 20261208;
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if ((argument == "--out" || argument == "--copies" || argument == "--seed") && i + 1 < argc) {
      const char* value = argv[++i];
      if (argument == "--out") out = value;
      if (argument == "--copies") copies = std::atoi(value);
      if (argument == "--seed") seed = static_cast<unsigned>(std::strtoul(value, nullptr, 10));
    } else if (argument.starts_with("--")) {
      return Usage("unknown option");
    } else {
      inputs.emplace_back(argument);
    }
  }
  if (out.empty() || inputs.empty() || copies < 1) return Usage("name a folder and files");
  std::error_code error;
  fs::create_directories(out, error);
  if (error) return Usage("the folder cannot be made");

  Damager damager(seed);
  int written = 0;
  for (const fs::path& input : inputs) {
    std::ifstream in(input, std::ios::binary);
    const Bytes original{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (original.size() < 4096) {
      std::fprintf(stderr, "tablift-damage-corpus: %s is too small to be a database\n",
                   input.c_str());
      return 1;
    }
    const Layout layout = LayoutOf(original);
    const auto definitions = PagesOfType(original, layout, {kTableDefinitionPage});
    const auto data = PagesOfType(original, layout, {kDataPage, kIndexNodePage, kIndexLeafPage});
    for (int n = 0; n < copies; ++n) {
      const std::string stem = input.stem().string() + "-";
      // A copy keeps its original's ending: an .accdb file stays one.
      const std::string number = "-" + std::to_string(n) + input.extension().string();
      const bool ok =
          WriteFile(out / (stem + "truncated" + number), damager.truncated(original, layout)) &&
          WriteFile(out / (stem + "header" + number), damager.header(original, layout)) &&
          WriteFile(out / (stem + "tdef" + number),
                    damager.inPages(original, layout, definitions)) &&
          WriteFile(out / (stem + "usagemap" + number), damager.usageMap(original, layout)) &&
          WriteFile(out / (stem + "data" + number), damager.inPages(original, layout, data));
      if (!ok) {
        std::fprintf(stderr, "tablift-damage-corpus: cannot write into %s\n", out.c_str());
        return 1;
      }
      written += 5;
    }
  }
  std::printf("%d damaged copies in %s\n", written, out.c_str());
  return 0;
}
