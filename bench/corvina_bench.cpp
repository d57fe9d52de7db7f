// Measures the suite's figures and prints one "name: value" line for each. Give figure
// names on the command line to run only those. Every figure is a ratio of two timings
// taken in the same run, so that the speed of the machine cancels out.
#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/MenuItemList.h"
#include "common/Registry.h"

namespace {

// Scratch keys of the benchmark: the user's own list is never touched.
const char kBenchKey[] = "Software\\CorvinaBench";
const char kDenseKey[] = "Software\\CorvinaBench\\Dense";
const char kSparseKey[] = "Software\\CorvinaBench\\Sparse";
const char kThousandKey[] = "Software\\CorvinaBench\\Thousand";

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Median time of one call over several batches. The batch size is chosen so that one batch
// takes at least ~20 ms; the two operations of a ratio run in alternating batches.
double MedianRatio(const std::function<void()>& measured, const std::function<void()>& base) {
    int repetitions = 1;
    for (;;) {
        const double start = Now();
        for (int i = 0; i < repetitions; ++i) {
            measured();
            base();
        }
        if (Now() - start >= 0.04 || repetitions >= (1 << 20)) {
            break;
        }
        repetitions *= 2;
    }
    constexpr int kBatches = 11;
    std::vector<double> measuredTimes;
    std::vector<double> baseTimes;
    for (int batch = 0; batch < kBatches; ++batch) {
        double start = Now();
        for (int i = 0; i < repetitions; ++i) {
            measured();
        }
        measuredTimes.push_back((Now() - start) / repetitions);
        start = Now();
        for (int i = 0; i < repetitions; ++i) {
            base();
        }
        baseTimes.push_back((Now() - start) / repetitions);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    return median(measuredTimes) / median(baseTimes);
}

MenuItemList MakeList(int count) {
    MenuItemList list;
    for (int k = 1; k <= count; ++k) {
        // Two identifiers, about the size of a file's list below a drive.
        BYTE bytes[64] = {};
        bytes[0] = 25;
        bytes[1] = 0;
        std::snprintf(reinterpret_cast<char*>(bytes) + 3, 20, "C:\\folder%d", k);
        bytes[25] = 30;
        std::snprintf(reinterpret_cast<char*>(bytes) + 28, 25, "document-%06d.txt", k);
        list.push_back({CItemIdList::FromBytes(bytes, 25 + 30 + 2), "Item " + std::to_string(k)});
    }
    return list;
}

void Prepare(const char* path, int count, DWORD length) {
    SaveMenuItemListTo(HKEY_CURRENT_USER, path, MakeList(count));
    WriteRegistryDword(HKEY_CURRENT_USER, path, "Length", length);
}

size_t g_sink = 0;

void Load(const char* path) {
    g_sink += LoadMenuItemListFrom(HKEY_CURRENT_USER, path).size();
}

// The least any reader must do for the record walk: the bare queries of "Length" and of
// each NO.k and DN.k (size, then data), with the key opened once.
void FloorWalk(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return;
    }
    DWORD length = 0;
    DWORD size = sizeof(length);
    RegQueryValueExA(key, "Length", nullptr, nullptr, reinterpret_cast<BYTE*>(&length), &size);
    BYTE data[512];
    char name[16];
    for (DWORD k = 1; k <= length; ++k) {
        for (const char* prefix : {"NO", "DN"}) {
            std::snprintf(name, sizeof(name), "%s.%03lu", prefix, static_cast<unsigned long>(k));
            size = 0;
            RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size);
            size = sizeof(data);
            RegQueryValueExA(key, name, nullptr, nullptr, data, &size);
            g_sink += size;
        }
    }
    RegCloseKey(key);
}

struct Figure {
    const char* name;
    std::function<void()> prepare;
    std::function<double()> measure;
};

const std::vector<Figure>& Figures() {
    static const std::vector<Figure> figures = {
        {"list_load_sparse_ratio",
         [] {
             Prepare(kDenseKey, 10, 10);
             Prepare(kSparseKey, 10, 0xFFFFFFFF);
         },
         [] { return MedianRatio([] { Load(kSparseKey); }, [] { Load(kDenseKey); }); }},
        {"list_load_1000_vs_floor", [] { Prepare(kThousandKey, 1000, 1000); },
         [] { return MedianRatio([] { Load(kThousandKey); }, [] { FloorWalk(kThousandKey); }); }},
    };
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> wanted(argv + 1, argv + argc);
    for (const std::string& name : wanted) {
        const auto& figures = Figures();
        if (std::none_of(figures.begin(), figures.end(),
                         [&](const Figure& f) { return name == f.name; })) {
            std::fprintf(stderr, "unknown figure: %s\n", name.c_str());
            return 2;
        }
    }
    SHDeleteKeyA(HKEY_CURRENT_USER, kBenchKey);
    for (const Figure& figure : Figures()) {
        if (!wanted.empty() &&
            std::find(wanted.begin(), wanted.end(), figure.name) == wanted.end()) {
            continue;
        }
        figure.prepare();
        std::printf("%s: %.3f\n", figure.name, figure.measure());
        std::fflush(stdout);
    }
    SHDeleteKeyA(HKEY_CURRENT_USER, kBenchKey);
    return 0;
}
