#include "document/FunFile.h"

#include "NodeText.h"
#include "expr/CalcValue.h"
#include "expr/FunCompiler.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

// Hand-built archive bytes, so the expected files are written out independently of the writer.
struct CBytes {
    std::string s;
    CBytes& u8(unsigned v) {
        s.push_back(static_cast<char>(v));
        return *this;
    }
    CBytes& u16(unsigned v) { return u8(v & 0xFF).u8(v >> 8 & 0xFF); }
    CBytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    CBytes& f64(double d) {
        std::uint64_t v;
        std::memcpy(&v, &d, 8);
        return u32(static_cast<std::uint32_t>(v)).u32(static_cast<std::uint32_t>(v >> 32));
    }
    CBytes& raw(const std::string& t) {
        s += t;
        return *this;
    }
    CBytes& str(const std::string& t) { return u8(static_cast<unsigned>(t.size())).raw(t); }
    CBytes& newClass(const std::string& name) {
        return u16(0xFFFF).u16(1).u16(static_cast<unsigned>(name.size())).raw(name);
    }
    // Record body up to and including the node count.
    CBytes& record(const std::string& text, COLORREF clr, unsigned nodes) {
        return str(text)
            .u32(1)
            .u32(clr)
            .f64(-2.0e10)
            .f64(2.0e10)
            .str("-\xA1\xDE")
            .str("+\xA1\xDE")
            .u16(nodes);
    }
    CBytes& node(char name, char op, double result, const std::string& left,
                 const std::string& right = "", double dLeft = 0, double dRight = 0) {
        return u8(static_cast<unsigned char>(name))
            .u8(static_cast<unsigned char>(op))
            .f64(result)
            .f64(dLeft)
            .f64(dRight)
            .str(left)
            .str(right);
    }
};

std::unique_ptr<CDataFun> MakeFun(const std::string& text, COLORREF clr,
                                  std::vector<CDataAnalyzeFun> nodes) {
    auto f = std::make_unique<CDataFun>();
    f->m_strFun = text;
    f->m_clrFun = clr;
    f->m_pNodes = std::make_unique<CNodeList>();
    for (auto& n : nodes)
        f->m_pNodes->Append(std::move(n));
    return f;
}

std::unique_ptr<CDataFun> Compiled(const std::string& text, COLORREF clr) {
    CFunCheck c = CheckFunText(text);
    EXPECT_EQ(c.status, EFunCheck::Ok) << text;
    auto f = std::make_unique<CDataFun>();
    f->SetFunction(text, std::move(c.pNodes));
    f->m_clrFun = clr;
    return f;
}

CDataAnalyzeFun WithResult(CDataAnalyzeFun n, double r) {
    n.m_dResult = r;
    return n;
}

void ExpectSameFuns(const CFunArray& a, const CFunArray& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        const CDataFun& x = *a[i];
        const CDataFun& y = *b[i];
        EXPECT_EQ(x.m_strFun, y.m_strFun);
        EXPECT_EQ(x.m_bShow, y.m_bShow);
        EXPECT_EQ(x.m_clrFun, y.m_clrFun);
        EXPECT_EQ(x.m_dMin, y.m_dMin);
        EXPECT_EQ(x.m_dMax, y.m_dMax);
        EXPECT_EQ(x.m_strMin, y.m_strMin);
        EXPECT_EQ(x.m_strMax, y.m_strMax);
        ASSERT_TRUE(x.m_pNodes && y.m_pNodes);
        ASSERT_EQ(x.m_pNodes->size(), y.m_pNodes->size());
        for (std::size_t k = 0; k < x.m_pNodes->size(); ++k) {
            const auto& p = x.m_pNodes->SettledNodes()[k];
            const auto& q = y.m_pNodes->SettledNodes()[k];
            EXPECT_EQ(p.m_chName, q.m_chName);
            EXPECT_EQ(p.m_chOp, q.m_chOp);
            EXPECT_EQ(p.m_strLeft, q.m_strLeft);
            EXPECT_EQ(p.m_strRight, q.m_strRight);
            EXPECT_EQ(std::memcmp(&p.m_dResult, &q.m_dResult, 8), 0);
            EXPECT_EQ(std::memcmp(&p.m_dLeft, &q.m_dLeft, 8), 0);
            EXPECT_EQ(std::memcmp(&p.m_dRight, &q.m_dRight, 8), 0);
        }
    }
}

CFunArray ReadOk(const std::string& bytes) {
    CFunFileError e;
    auto r = ReadFunFile(bytes, &e);
    EXPECT_TRUE(r.has_value()) << e.m_strMessage;
    return r ? std::move(*r) : CFunArray{};
}

TEST(FunFile, EmptyDocumentIsTwoZeroBytesAndEmptyInputIsEmpty) {
    EXPECT_EQ(WriteFunFile({}), std::string("\0\0", 2));
    EXPECT_TRUE(ReadOk(std::string("\0\0", 2)).empty());
    EXPECT_TRUE(ReadOk("").empty());
}

TEST(FunFile, TheOneFunctionExampleByteForByte) {
    CFunArray funs;
    funs.push_back(Compiled("x", 0x000000FF));
    const std::string file = WriteFunFile(funs);

    const std::string head("\x01\x00" // one record
                           "\xFF\xFF\x01\x00\x08\x00"
                           "CDataFun"                         // first record header
                           "\x01\x78"                         // x
                           "\x01\x00\x00\x00"                 // shown
                           "\xFF\x00\x00\x00"                 // red
                           "\x00\x00\x00\x20\x5F\xA0\x12\xC2" // -2.0e10
                           "\x00\x00\x00\x20\x5F\xA0\x12\x42" // +2.0e10
                           "\x03\x2D\xA1\xDE\x03\x2B\xA1\xDE" // "-inf", "+inf"
                           "\x01\x00"                         // one node
                           "\xFF\xFF\x01\x00\x0F\x00"
                           "CDataAnalyzeFun",
                           73);
    // Then the name byte (any), code 'A', three doubles (any), ":" and the empty right text.
    ASSERT_EQ(file.size(), head.size() + 2 + 24 + 3);
    EXPECT_EQ(file.substr(0, head.size()), head);
    EXPECT_EQ(file[head.size() + 1], 'A');
    EXPECT_EQ(file.substr(head.size() + 26), std::string("\x01:\x00", 3));

    CFunArray back = ReadOk(file);
    ExpectSameFuns(funs, back);
}

TEST(FunFile, OnlyTheFirstRecordAndNodeCarryAClassName) {
    CFunArray funs;
    funs.push_back(MakeFun("sin(x)+1", 0x000000FF,
                           {MakeNode('?', 'A', ":"), MakeNode('a', 'B', "_?"),
                            WithResult(MakeNode('b', '+', "_a", 0, "1", 1.0), 1.5)}));
    funs.push_back(MakeFun("x", 0x0000FFFF, {MakeNode('z', 'A', ":")}));
    funs[1]->m_bShow = 0;
    funs[1]->SetDomain(0, "-3.141592653589793");

    const std::string expected = CBytes()
                                     .u16(2)
                                     .newClass("CDataFun")
                                     .record("sin(x)+1", 0x000000FF, 3)
                                     .newClass("CDataAnalyzeFun")
                                     .node('?', 'A', 0, ":")
                                     .u16(0x8003)
                                     .node('a', 'B', 0, "_?")
                                     .u16(0x8003)
                                     .node('b', '+', 1.5, "_a", "1", 0, 1.0)
                                     .u16(0x8001)
                                     .str("x")
                                     .u32(0)
                                     .u32(0x0000FFFF)
                                     .f64(-3.141592653589793)
                                     .f64(2.0e10)
                                     .str("-3.141592653589793")
                                     .str("+\xA1\xDE")
                                     .u16(1)
                                     .u16(0x8003)
                                     .node('z', 'A', 0, ":")
                                     .s;
    EXPECT_EQ(WriteFunFile(funs), expected);
    ExpectSameFuns(funs, ReadOk(expected));
}

TEST(FunFile, LoadedListsKeepTheirNodesAndResultsAndEvaluate) {
    std::vector<CDataAnalyzeFun> nodes = Compiled("sin(x)+1", 0)->m_pNodes->Nodes();
    nodes[2].m_dResult = 42.0;
    CFunArray funs;
    // A text that no longer compiles: the stored list still draws.
    funs.push_back(MakeFun("2x", 0x00FF0000, nodes));
    CFunArray back = ReadOk(WriteFunFile(funs));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0]->m_strFun, "2x");
    EXPECT_EQ(back[0]->m_pNodes->Result(2), 42.0);
    EXPECT_EQ(NodeText(*back[0]->m_pNodes), NodeText(*funs[0]->m_pNodes));
    bool err = false;
    EXPECT_NEAR(CalcValue(*back[0]->m_pNodes, 2.0, err), 1.9092974268256817, 1e-15);
    EXPECT_FALSE(err);
}

TEST(FunFile, StringLengthForms) {
    struct {
        std::size_t len;
        std::string prefix;
    } const cases[] = {
        {0, std::string("\x00", 1)},
        {254, "\xFE"},
        {255, std::string("\xFF\xFF\x00", 3)},
        {0xFFFD, "\xFF\xFD\xFF"},
        {0xFFFE, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
        {0xFFFF, std::string("\xFF\xFF\xFF\xFF\xFF\x00\x00", 7)},
    };
    for (const auto& c : cases) {
        CFunArray funs;
        funs.push_back(MakeFun(std::string(c.len, 'x'), 0, {MakeNode('a', '+', ":", 0, "1", 1)}));
        const std::string file = WriteFunFile(funs);
        const std::size_t at = 2 + 6 + 8; // count, class header, name
        EXPECT_EQ(file.substr(at, c.prefix.size()), c.prefix) << c.len;
        EXPECT_EQ(file.substr(at + c.prefix.size(), c.len), std::string(c.len, 'x'));
        CFunArray back = ReadOk(file);
        ExpectSameFuns(funs, back);
        EXPECT_EQ(WriteFunFile(back), file) << c.len;
    }
    // Readers accept a long form even for a short string.
    CFunArray back = ReadOk(CBytes()
                                .u16(1)
                                .newClass("CDataFun")
                                .u8(0xFF)
                                .u16(0xFFFF)
                                .u32(1)
                                .raw("x")
                                .u32(1)
                                .u32(0)
                                .f64(0)
                                .f64(0)
                                .u8(0xFF)
                                .u16(2)
                                .raw("-1")
                                .str("")
                                .u16(0)
                                .s);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0]->m_strFun, "x");
    EXPECT_EQ(back[0]->m_strMin, "-1");
}

TEST(FunFile, SaveLoadSaveIsIdentical) {
    std::mt19937 rng(7);
    const char* texts[] = {"x", "sin(x)+1", "x^2-2*x+1", "ln(x+1)/cosx", "e(x/2)*tgx"};
    CFunArray many;
    for (int i = 0; i < 300; ++i) {
        many.push_back(Compiled(texts[i % 5], rng() & 0xFFFFFF));
        many.back()->m_bShow = i % 3 != 0;
        many.back()->SetDomain(1, std::to_string(i) + ".5");
    }
    CFunArray longList;
    std::vector<CDataAnalyzeFun> nodes{MakeNode('a', 'A', ":")};
    for (std::size_t i = 1; i < kMaxFileNodes; ++i)
        nodes.push_back(MakeNode(static_cast<char>('a' + i % 26), '*',
                                 "_" + std::string(1, static_cast<char>('a' + (i - 1) % 26)), 0,
                                 "1.5", 1.5));
    longList.push_back(MakeFun("long", 0x808080, std::move(nodes)));

    for (const CFunArray* funs : {&many, &longList}) {
        const std::string file = WriteFunFile(*funs);
        CFunArray back = ReadOk(file);
        ExpectSameFuns(*funs, back);
        EXPECT_EQ(WriteFunFile(back), file);
    }
}

// More than 0xFFFE records need the long count; a class first named after object 0x7FFE needs
// the long class-number form.
TEST(FunFile, LongCountAndLongClassNumber) {
    CFunArray funs;
    for (int i = 0; i < 0xFFFF; ++i)
        funs.push_back(std::make_unique<CDataFun>());
    funs.push_back(
        MakeFun("x+x", 0xFF, {MakeNode('?', 'A', ":"), MakeNode('a', '+', ":", 0, ":")}));
    const std::string file = WriteFunFile(funs);
    EXPECT_EQ(file.substr(0, 6), std::string("\xFF\xFF\x00\x00\x01\x00", 6));
    // Class 1, records 2..0x10001, class CDataAnalyzeFun 0x10002.
    EXPECT_NE(file.find(std::string("\x7F\x7F", 0) + std::string("\xFF\x7F\x02\x00\x01\x80", 6)),
              std::string::npos);
    CFunArray back = ReadOk(file);
    ASSERT_EQ(back.size(), funs.size());
    EXPECT_EQ(back.back()->m_pNodes->size(), 2u);
    EXPECT_EQ(back.back()->m_pNodes->Nodes()[1].m_chOp, '+');
    EXPECT_EQ(WriteFunFile(back), file);
}

struct CBadCase {
    const char* name;
    std::string bytes;
    const char* message;
};

TEST(FunFile, RefusesWhatThisProgramWouldNotWrite) {
    const std::string goodRecord = CBytes().newClass("CDataFun").record("x", 0, 0).s;
    const CBadCase cases[] = {
        {"unknown class", CBytes().u16(1).newClass("CObject").s, "unknown class \"CObject\""},
        {"schema 2", CBytes().u16(1).u16(0xFFFF).u16(2).u16(8).raw("CDataFun").s, "schema 2"},
        {"null object", CBytes().u16(1).u16(0).s, "null object"},
        {"back reference", CBytes().u16(2).raw(goodRecord).u16(0x0002).s, "earlier object"},
        {"long back reference", CBytes().u16(2).raw(goodRecord).u16(0x7FFF).u32(2).s,
         "earlier object"},
        {"class number of an object", CBytes().u16(2).raw(goodRecord).u16(0x8002).s,
         "unknown class number 2"},
        {"class never named", CBytes().u16(1).u16(0x8001).s, "unknown class number 1"},
        {"node for record", CBytes().u16(1).newClass("CDataAnalyzeFun").s,
         "a node where a record belongs"},
        {"record for node",
         CBytes().u16(1).raw(goodRecord.substr(0, goodRecord.size() - 2)).u16(1).u16(0x8001).s,
         "a record where a node belongs"},
        {"class named twice", CBytes().u16(2).raw(goodRecord).newClass("CDataFun").s,
         "introduced twice"},
        {"4 billion records", CBytes().u16(0xFFFF).u32(0xFFFFFFFF).raw(goodRecord).s,
         "record count 4294967295 is larger"},
        {"huge node count",
         CBytes()
             .u16(1)
             .raw(goodRecord.substr(0, goodRecord.size() - 2))
             .u16(0xFFFF)
             .u32(0x7FFFFFFF)
             .s,
         "node count 2147483647 is larger"},
        {"huge string",
         CBytes()
             .u16(1)
             .newClass("CDataFun")
             .u8(0xFF)
             .u16(0xFFFF)
             .u32(0xFFFFFFF0)
             .raw(std::string(40, 'x'))
             .s,
         "length 4294967280 of a function text is larger"},
        {"string just too long",
         CBytes().u16(1).newClass("CDataFun").u8(200).raw(std::string(39, 'x')).s, "length 200"},
    };
    // Padding keeps the counts plausible, so that each case reaches the fault it is about.
    const std::string pad(64, '\0');
    for (const auto& c : cases) {
        CFunFileError e;
        EXPECT_FALSE(ReadFunFile(c.bytes + pad, &e).has_value()) << c.name;
        EXPECT_NE(e.m_strMessage.find(c.message), std::string::npos)
            << c.name << ": " << e.m_strMessage;
        EXPECT_NE(e.m_strMessage.find(" at byte " + std::to_string(e.m_nOffset)), std::string::npos)
            << c.name;
    }
    CFunFileError e;
    ReadFunFile(CBytes().u16(1).u16(0).s + pad, &e);
    EXPECT_EQ(e.m_nOffset, 2u);
}

// A list longer than the compiler can make is damage, even when the file is large enough to
// hold it: 256 functions of 4,096 nodes would freeze every redraw.
TEST(FunFile, RefusesOverlongNodeLists) {
    struct {
        std::size_t funs;
        std::size_t nodes;
    } const cases[] = {{1, kMaxFileNodes + 1}, {256, 4096}};
    for (const auto& c : cases) {
        CFunArray funs;
        for (std::size_t i = 0; i < c.funs; ++i)
            funs.push_back(
                MakeFun("x", 0, std::vector<CDataAnalyzeFun>(c.nodes, MakeNode('a', 'A', ":"))));
        CFunFileError e;
        EXPECT_FALSE(ReadFunFile(WriteFunFile(funs), &e)) << c.funs << " x " << c.nodes;
        EXPECT_NE(e.m_strMessage.find("exceeds the limit of 256"), std::string::npos)
            << e.m_strMessage;
    }
}

std::string MultiRecordFile() {
    CFunArray funs;
    funs.push_back(Compiled("sin(x)+1", 0x000000FF));
    funs.push_back(Compiled("x^2-1/x", 0x0000FFFF));
    funs.push_back(Compiled("ln(x)", 0x00FF0000));
    funs.back()->SetDomain(0, "0.5");
    return WriteFunFile(funs);
}

TEST(FunFile, EveryTruncationIsRefusedAndTrailingBytesAreIgnored) {
    const std::string file = MultiRecordFile();
    for (std::size_t n = 1; n < file.size(); ++n) {
        CFunFileError e;
        EXPECT_FALSE(ReadFunFile(std::string_view(file).substr(0, n), &e)) << n;
        EXPECT_FALSE(e.m_strMessage.empty()) << n;
        EXPECT_LE(e.m_nOffset, n);
    }
    CFunFileError e;
    ReadFunFile("\x01", &e);
    EXPECT_EQ(e.m_strMessage, "the file ends early in record count at byte 0");
    EXPECT_EQ(ReadOk(file + "trailing bytes").size(), 3u);
}

// Whatever the damage, reading ends without a crash, and anything accepted writes out a file
// that reads back the same.
TEST(FunFile, RandomMutationsNeverCrash) {
    const std::string file = MultiRecordFile();
    std::mt19937 rng(20261210);
    int accepted = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string m = file;
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int k = 0; k < edits; ++k) {
            const std::size_t at = rng() % m.size();
            switch (rng() % 4) {
            case 0:
                m[at] = static_cast<char>(rng());
                break;
            case 1:
                m[at] = static_cast<char>(m[at] ^ (1 << (rng() % 8)));
                break;
            case 2:
                m.insert(at, 1, static_cast<char>(rng()));
                break;
            default:
                if (m.size() > 1) m.erase(at, 1 + rng() % 8);
            }
        }
        CFunFileError e;
        auto r = ReadFunFile(m, &e);
        if (!r) {
            EXPECT_FALSE(e.m_strMessage.empty());
            continue;
        }
        ++accepted;
        for (auto& f : *r) {
            bool err = false;
            CalcValue(*f->m_pNodes, 1.5, err);
        }
        const std::string again = WriteFunFile(*r);
        auto r2 = ReadFunFile(again);
        ASSERT_TRUE(r2.has_value());
        EXPECT_EQ(WriteFunFile(*r2), again);
    }
    EXPECT_GT(accepted, 0);
}

} // namespace
