// Peak heap use while reading a function file, counted by replacing the global allocation
// functions; this runs as its own executable so no other test pays for the counting.

#include "document/DocumentFile.h"
#include "document/FunFile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <unistd.h>

namespace {

std::atomic<long long> g_nLive{0};
std::atomic<long long> g_nPeak{0};
// Allocations that would take the live total past this fail, as when memory runs out.
std::atomic<long long> g_nBudget{-1};

void* Counted(std::size_t n) {
    const long long budget = g_nBudget.load();
    if (budget >= 0 && g_nLive.load() + static_cast<long long>(n) > budget) throw std::bad_alloc();
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    const long long live = g_nLive += static_cast<long long>(malloc_usable_size(p));
    long long peak = g_nPeak.load();
    while (live > peak && !g_nPeak.compare_exchange_weak(peak, live)) {
    }
    return p;
}

void Uncounted(void* p) {
    if (!p) return;
    g_nLive -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}

} // namespace

void* operator new(std::size_t n) {
    return Counted(n);
}
void* operator new[](std::size_t n) {
    return Counted(n);
}
void operator delete(void* p) noexcept {
    Uncounted(p);
}
void operator delete[](void* p) noexcept {
    Uncounted(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Uncounted(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Uncounted(p);
}

namespace {

// Records with empty texts and no nodes are the smallest a file can hold, so they carry the
// most per-record overhead per byte of file.
std::string EmptyRecords(std::size_t n) {
    CFunArray funs;
    for (std::size_t i = 0; i < n; ++i) {
        auto f = std::make_unique<CDataFun>();
        f->m_strMin.clear();
        f->m_strMax.clear();
        f->m_pNodes = std::make_unique<CNodeList>();
        funs.push_back(std::move(f));
    }
    return WriteFunFile(funs);
}

TEST(ReadMemory, PeakStaysWithinTwentyTimesTheFileSize) {
    for (std::size_t n : {std::size_t(1000), std::size_t(600000)}) {
        const std::string file = EmptyRecords(n);
        const long long before = g_nLive.load();
        g_nPeak = before;
        {
            auto funs = ReadFunFile(file);
            ASSERT_TRUE(funs.has_value());
            ASSERT_EQ(funs->size(), n);
        }
        const long long peak = g_nPeak.load() - before;
        EXPECT_LT(peak, 20 * static_cast<long long>(file.size()))
            << n << " records, " << file.size() << " bytes of file";
    }
}

// Running out of memory part-way through a file is a failed open with its message; the document
// keeps what it had.
TEST(ReadMemory, RunningOutOfMemoryIsAFailedOpen) {
    char dir[] = "/tmp/curvist-mem-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/big.cvx";
    const std::string file = EmptyRecords(20000);
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(file.data(), 1, file.size(), f);
        std::fclose(f);
    }
    CCurvistDoc doc;
    doc.AppendFunction(std::make_unique<CDataFun>());
    doc.m_arFuns[0]->m_strFun = "mine";
    std::string error;
    g_nBudget = g_nLive.load() + static_cast<long long>(2 * file.size());
    const bool opened = LoadDocument(doc, path, &error);
    g_nBudget = -1;
    std::remove(path.c_str());
    rmdir(dir);
    EXPECT_FALSE(opened);
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find("not enough memory"), std::string::npos) << error;
    ASSERT_EQ(doc.m_arFuns.size(), 1u);
    EXPECT_EQ(doc.m_arFuns[0]->m_strFun, "mine");
}

} // namespace
