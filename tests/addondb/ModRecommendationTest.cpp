#include "ScannerFixture.h"

#include "aaserver/OfferedBlockWriter.h"
#include "addondb/CoverSearch.h"
#include "addondb/ModRecommendation.h"
#include "addondb/OfferedBlock.h"

#include "support/CrcForge.h"

#include <gtest/gtest.h>

#include <random>

using namespace garrison;
using test::crcOf;

namespace {

class ModRecommendationTest : public ::testing::Test, public test::ScannerFixture {
protected:
    // mod/AddOns/name.pbo holding "name", and `extra` more add-on files to raise its cost.
    void addon(const std::string &mod, const std::string &name) { file(mod + "/AddOns/" + name + ".pbo", name); }
    void ballast(const std::string &mod, int count)
    {
        for (int i = 0; i < count; ++i)
            file(mod + "/AddOns/ballast" + std::to_string(i) + ".pbo", mod + std::to_string(i));
    }
    std::string recommend(const std::vector<std::string> &offeredAddons, const std::vector<std::string> &manual = {})
    {
        scan();
        database.derive();
        OfferedContent offer;
        OfferedEntry entry{"u", 1, "p", "", 9, {}};
        for (const auto &name : offeredAddons)
            entry.files.push_back({"addons\\" + name + ".pbo", static_cast<std::uint32_t>(name.size()), crcOf(name)});
        offer.packages = {entry};
        EXPECT_TRUE(parseOfferedBlock(writeOfferedBlock(offer), database.offered()));
        return recommendMods(database, manual);
    }
};

TEST_F(ModRecommendationTest, Examples)
{
    addon("A", "one");
    addon("A", "two");
    ballast("A", 10);
    addon("B", "one");
    ballast("B", 3);
    addon("C", "three");
    file("AddOns/stock_copy.pbo", "stock_copy");
    EXPECT_EQ(recommend({}), "");
    EXPECT_EQ(recommend({"stock_copy"}), "");           // installed in the game's own folder
    EXPECT_EQ(recommend({"three"}), "C");               // only C has it
    EXPECT_EQ(recommend({"one"}), "B");                 // cheaper than A
    EXPECT_EQ(recommend({"one", "two"}), "A");          // A is forced by two and covers one
    EXPECT_EQ(recommend({"one", "three"}, {"a"}), "C"); // the manual A covers one
    EXPECT_EQ(recommend({"one", "two", "three"}, {"A", "c"}), "");
    EXPECT_EQ(recommend({"missing"}), "");
}

TEST_F(ModRecommendationTest, TwoAddonsInBothFoldersTakeTheCheaper)
{
    for (const auto *mod : {"A", "B"}) {
        addon(mod, "one");
        addon(mod, "two");
    }
    ballast("A", 10);
    ballast("B", 3);
    EXPECT_EQ(recommend({"one", "two"}), "B");
}

// The search exactly as the original runs it, without cuts.
class PlainSearch {
public:
    explicit PlainSearch(const CoverProblem &p) : m_p(p), m_inUse(p.costs.size()) {}
    std::vector<int> run()
    {
        if (!m_p.groups.empty())
            visit(0);
        return m_best;
    }

private:
    void next(std::size_t g)
    {
        if (g + 1 < m_p.groups.size())
            return visit(g + 1);
        if (m_cost < m_bestCost || (m_cost == m_bestCost && m_current.size() < m_best.size())) {
            m_best = m_current;
            m_bestCost = m_cost;
        }
    }
    void visit(std::size_t g)
    {
        bool covered = false;
        for (const int c : m_p.groups[g]) {
            if (m_inUse[static_cast<std::size_t>(c)]) {
                covered = true;
                continue;
            }
            m_inUse[static_cast<std::size_t>(c)] = true;
            m_current.push_back(c);
            m_cost += m_p.costs[static_cast<std::size_t>(c)];
            next(g);
            m_cost -= m_p.costs[static_cast<std::size_t>(c)];
            m_current.pop_back();
            m_inUse[static_cast<std::size_t>(c)] = false;
        }
        if (covered)
            next(g);
    }
    const CoverProblem &m_p;
    std::vector<bool> m_inUse;
    std::vector<int> m_current, m_best;
    std::int64_t m_cost = 0, m_bestCost = 2147483647;
};

TEST(CoverSearch, CutsNeverChangeTheAnswer)
{
    std::mt19937 random(20261210);
    for (int round = 0; round < 3000; ++round) {
        CoverProblem problem;
        const int candidates = 1 + static_cast<int>(random() % 7);
        const int groups = 1 + static_cast<int>(random() % 7);
        for (int c = 0; c < candidates; ++c)
            problem.costs.push_back(static_cast<std::int64_t>(random() % 4)); // ties and zero costs on purpose
        for (int g = 0; g < groups; ++g) {
            std::vector<int> members;
            for (int c = 0; c < candidates; ++c) {
                if (random() % 2)
                    members.push_back(c);
            }
            if (members.empty())
                members.push_back(static_cast<int>(random() % static_cast<unsigned>(candidates)));
            std::shuffle(members.begin(), members.end(), random);
            problem.groups.push_back(members);
        }
        ASSERT_EQ(leastCostCover(problem), PlainSearch(problem).run()) << "round " << round;
    }
}

} // namespace
