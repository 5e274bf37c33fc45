// The values a host makes and copies keep their data behind a pointer: a copy must own its own
// data, outlive the original, and no copied, assigned or moved-from value may be left without any.
#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/data/load/ELoadError.h>
#include <qmr41726/rtl/Variant.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <utility>

using namespace qmr;

TEST(ValueCopy, copiesAndAssignmentsOutliveTheOriginal) {
    const Variant kinds[] = {Variant(), Variant(-7), Variant(2.5), Variant(true), Variant("PAO")};
    for (const Variant& kind : kinds) {
        auto original = std::make_unique<Variant>(kind);
        const Variant copy(*original);
        Variant assigned("something else");
        assigned = *original;
        original.reset();
        EXPECT_EQ(copy, kind) << kind.toString();
        EXPECT_EQ(assigned, kind) << kind.toString();
        EXPECT_EQ(copy.toString(), kind.toString());
    }

    auto error = std::make_unique<ELoadError>(LoadErrorKind::Timeout, "Query ran past 60 s");
    const ELoadError errorCopy(*error);
    ELoadError errorAssigned(LoadErrorKind::NotFound, "other");
    errorAssigned = *error;
    error.reset();
    for (const ELoadError* e : std::initializer_list<const ELoadError*>{&errorCopy, &errorAssigned}) {
        EXPECT_EQ(e->kind(), LoadErrorKind::Timeout);
        EXPECT_STREQ(e->what(), "Query ran past 60 s");
        EXPECT_EQ(e->Message(), "Query ran past 60 s");
    }

    auto index = std::make_unique<TIndexDef>("byName", "NOME;CODIGO", unsigned(TIndexOption::ixDescending));
    const TIndexDef indexCopy(*index);
    index.reset();
    EXPECT_EQ(indexCopy.name(), "byName");
    EXPECT_EQ(indexCopy.fields(), "NOME;CODIGO");
    EXPECT_EQ(indexCopy.options(), unsigned(TIndexOption::ixDescending));
}

TEST(ValueCopy, movedFromValuesAndCaughtCopiesStayWhole) {
    Variant from("PAO");
    const Variant to(std::move(from));
    EXPECT_EQ(to.toString(), "PAO");
    from = Variant(3); // a moved-from value takes a new one
    EXPECT_EQ(from.toInteger(), 3);

    // Copied as its base, as a handler that keeps an error does, the exception keeps its message.
    try {
        throw ELoadError(LoadErrorKind::Malformed, "Line 3: unterminated quote");
    } catch (const EDatabaseError& caught) {
        EDatabaseError kept(caught);
        const EDatabaseError moved(std::move(kept));
        EXPECT_STREQ(moved.what(), "Line 3: unterminated quote");
        EXPECT_STREQ(kept.what(), "Line 3: unterminated quote");
    }
}
