// The ownership tree: an owner frees what it owns, last created first; components are found by
// name without regard to letter case; an index out of range is an error naming it.
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/TComponent.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qmr;

namespace {

/// A component that writes its name into `log` when it is freed.
class Logged : public TComponent {
public:
    Logged(std::string name, std::vector<std::string>& log) : m_log(log) { setName(name); }
    ~Logged() override { m_log.push_back(name()); }

private:
    std::vector<std::string>& m_log;
};

} // namespace

// A component owned by another is freed by it, its own components right after it.
TEST(Component, ownerFreesWhatItOwnsLastCreatedFirst) {
    std::vector<std::string> log;
    {
        TComponent form;
        auto* panel = form.adopt(std::make_unique<Logged>("panel", log));
        panel->adopt(std::make_unique<Logged>("edit", log));
        form.adopt(std::make_unique<Logged>("button", log));
        EXPECT_EQ(panel->owner(), &form);
        EXPECT_EQ(form.componentCount(), 2);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"button", "panel", "edit"}));
}

TEST(Component, disownedComponentIsTheCallersAndNoLongerFreedByItsOwner) {
    std::vector<std::string> log;
    std::unique_ptr<TComponent> kept;
    {
        TComponent form;
        auto* first = form.adopt(std::make_unique<Logged>("first", log));
        form.adopt(std::make_unique<Logged>("second", log));
        kept = form.disown(first);
        ASSERT_EQ(kept.get(), first);
        EXPECT_EQ(kept->owner(), nullptr);
        EXPECT_EQ(form.component(0)->name(), "second");
        EXPECT_EQ(form.disown(first), nullptr) << "not owned any more";
    }
    EXPECT_EQ(log, std::vector<std::string>{"second"});
    kept.reset();
    EXPECT_EQ(log, (std::vector<std::string>{"second", "first"}));
}

TEST(Component, foundByNameWithoutRegardToLetterCaseOfAToZOnly) {
    std::vector<std::string> log;
    TComponent form;
    auto* letter = form.adopt(std::make_unique<Logged>("sbtA", log));
    auto* cedilla = form.adopt(std::make_unique<Logged>("sbt\xE7", log));
    EXPECT_EQ(form.findComponent("SBTA"), letter);
    EXPECT_EQ(form.findComponent("sbta"), letter);
    EXPECT_EQ(form.findComponent("sbt\xE7"), cedilla);
    EXPECT_EQ(form.findComponent("SBT\xC7"), nullptr) << "only a-z fold";
    EXPECT_EQ(form.findComponent("sbt"), nullptr);
    EXPECT_EQ(form.findComponent(""), nullptr);
}

TEST(Component, indexOutOfRangeIsAnErrorNamingTheIndex) {
    std::vector<std::string> log;
    TComponent form;
    form.adopt(std::make_unique<Logged>("only", log));
    EXPECT_EQ(form.component(0)->name(), "only");
    for (int index : {-1, 1, 5}) {
        try {
            form.component(index);
            ADD_FAILURE() << "index " << index << " accepted";
        } catch (const EListError& error) {
            EXPECT_NE(error.Message().find("(" + std::to_string(index) + ")"), AnsiString::npos)
                << error.Message();
        }
    }
}
