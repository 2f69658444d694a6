// Byte fidelity: random pages in every encoding and line-end style; a replace changes the
// bytes of its matches only, and its undo gives the original file back byte for byte.

#include "replace/sitereplace.h"
#include "replace/unifieddiff.h"

#include "support/tempdir.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using replace::Scope;

// A page made of pieces, counting where the word "Tom" was put.
struct RandomPage {
    QString text;
    int inText = 0; // as text (some spelt with a reference)
    int inValues = 0;
    int inNames = 0;
    int asWritten = 0; // the bytes "Tom" in any case, anywhere
};

RandomPage randomPage(QRandomGenerator &random, bool latin1Only)
{
    static const char16_t *const kWords[] = { u"Jerry", u"caf\u00e9", u"na\u00efve", u"x",
        u"\u65e5\u672c", u"\U0001F600", u"&amp;", u"&lt;", u"a < b", u"--", u"\u00a0" };
    RandomPage page;
    const int pieces = 20 + int(random.bounded(60));
    for (int i = 0; i < pieces; ++i) {
        switch (random.bounded(9)) {
        case 0:
            page.text += QStringLiteral("Tom ");
            ++page.inText;
            ++page.asWritten;
            break;
        case 1:
            page.text += QStringLiteral("T&#111;m ");
            ++page.inText;
            break;
        case 2:
            page.text += QStringLiteral("<a href=\"Tom.htm\" title='TOM' data-v=tom>");
            page.inValues += 3;
            page.asWritten += 3;
            break;
        case 3:
            page.text += QStringLiteral("<p data-tom=\"1\">");
            ++page.inNames;
            ++page.asWritten;
            break;
        case 4:
            page.text += QStringLiteral("<!-- Tom --><script>var tom;</script>");
            page.asWritten += 2;
            break;
        case 5:
            page.text += QStringLiteral("<svg><![CDATA[ Tom ]]></svg>");
            ++page.asWritten;
            break;
        case 6: {
            static const char *const kBreaks[] = { "\n", "\r\n", "\r" };
            page.text += QLatin1String(kBreaks[random.bounded(3)]);
            break;
        }
        default: {
            const char16_t *word = kWords[random.bounded(int(std::size(kWords)))];
            const QString piece = QString::fromUtf16(word);
            const bool fits = std::all_of(
                piece.begin(), piece.end(), [](QChar c) { return c.unicode() <= 0xFF; });
            page.text += (fits || !latin1Only ? piece : QStringLiteral("y")) + QLatin1Char(' ');
            break;
        }
        }
    }
    return page;
}

enum class Form { Utf8, Utf8Bom, Latin1, CrLf, MixedEnds };

struct Variant {
    const char *name;
    Form form;
};
constexpr Variant kVariants[] = {
    { "UTF-8", Form::Utf8 },
    { "UTF-8 with BOM", Form::Utf8Bom },
    { "Latin-1", Form::Latin1 },
    { "CR LF", Form::CrLf },
    { "mixed line ends", Form::MixedEnds },
};

QByteArray bytesOf(const RandomPage &page, Form form)
{
    QString text = page.text;
    if (form != Form::MixedEnds) {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
        if (form == Form::CrLf)
            text.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    }
    if (form == Form::Latin1) {
        // Kept Latin-1 only if some byte is not UTF-8: add one for sure.
        return "\xE9" + text.toLatin1();
    }
    return (form == Form::Utf8Bom ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
}

struct ScopeRow {
    const char *name;
    Scope scope;
    int RandomPage::*expected;
};
constexpr ScopeRow kScopes[] = {
    { "all", Scope::All, &RandomPage::asWritten },
    { "text", Scope::Text, &RandomPage::inText },
    { "attributes", Scope::Attributes, &RandomPage::inValues },
    { "tags", Scope::Tags, &RandomPage::inNames },
};

} // namespace

TEST(ReplaceFidelity, ChangesMatchesOnlyAndUndoGivesTheFileBack)
{
    QRandomGenerator random(36);
    TemporaryDir dir;
    const replace::UndoStore store(dir.filePath(QStringLiteral("program")));
    for (int round = 0; round < 6; ++round) {
        for (const Variant &variant : kVariants) {
            const RandomPage page = randomPage(random, variant.form == Form::Latin1);
            const QByteArray original = bytesOf(page, variant.form);
            for (const ScopeRow &scope : kScopes) {
                SCOPED_TRACE(std::string(variant.name) + ", " + scope.name + ", round "
                    + std::to_string(round));
                replace::ReplaceOptions options;
                options.find = QStringLiteral("tom");
                options.with = scope.scope == Scope::Tags ? QStringLiteral("thomas")
                                                          : QStringLiteral("Th\u00f6mas & <co>");
                options.scope = scope.scope;
                const replace::Replacer replacer(options);
                const replace::PagePlan plan = replacer.plan(original);
                ASSERT_TRUE(plan.error.isEmpty()) << plan.error.toStdString();
                EXPECT_EQ(int(plan.edits.size()), page.*scope.expected);
                EXPECT_EQ(plan.encoding == platform::TextEncoding::Latin1,
                    variant.form == Form::Latin1);
                // Every edit takes out a match and nothing else.
                for (const replace::Edit &edit : plan.edits) {
                    const QByteArray taken = original.mid(edit.begin, edit.end - edit.begin);
                    EXPECT_TRUE(taken.compare("tom", Qt::CaseInsensitive) == 0 || taken == "T&#111;m")
                        << taken.toStdString();
                }

                const QString path = dir.filePath(QStringLiteral("page.htm"));
                ASSERT_TRUE(putFile(path, original));
                QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
                const replace::FilePlan filePlan = replace::planFile(path, replacer);
                const replace::ApplyOutcome applied
                    = replace::applyPlans({ filePlan }, QStringLiteral("test"), store);
                ASSERT_TRUE(applied.failure.isEmpty()) << applied.failure.toStdString();
                const QByteArray changed = fileBytes(path);
                EXPECT_EQ(changed, replace::applyEdits(original, plan.edits));
                EXPECT_EQ(QFile::permissions(path) & (QFileDevice::ReadOwner | QFileDevice::WriteOwner
                              | QFileDevice::ReadGroup | QFileDevice::ReadOther),
                    QFileDevice::ReadOwner | QFileDevice::WriteOwner);
                if (plan.edits.empty()) {
                    EXPECT_TRUE(applied.undoId.isEmpty());
                    continue;
                }
                replace::UndoRecord record;
                QString error;
                ASSERT_TRUE(store.load(applied.undoId, &record, &error)) << error.toStdString();
                const replace::UndoOutcome undone = store.undo(record);
                EXPECT_TRUE(undone.leftAlone.isEmpty());
                EXPECT_EQ(fileBytes(path), original);
            }
        }
    }
    EXPECT_LE(store.list().size(), size_t(replace::UndoStore::kKept));
}

TEST(ReplaceFidelity, UndoLeavesAFileChangedSinceAndNamesIt)
{
    TemporaryDir dir;
    const replace::UndoStore store(dir.filePath(QStringLiteral("program")));
    const QString kept = dir.filePath(QStringLiteral("kept.htm"));
    const QString edited = dir.filePath(QStringLiteral("edited.htm"));
    ASSERT_TRUE(putFile(kept, "<p>old</p>"));
    ASSERT_TRUE(putFile(edited, "<p>old</p>"));
    replace::ReplaceOptions options;
    options.find = QStringLiteral("old");
    options.with = QStringLiteral("new");
    std::vector<replace::FilePlan> plans;
    replace::planFiles({ kept, edited }, replace::Replacer(options), &plans);
    const replace::ApplyOutcome applied = replace::applyPlans(plans, QStringLiteral("t"), store);
    ASSERT_EQ(applied.written.size(), 2);
    ASSERT_TRUE(putFile(edited, "<p>new, and edited</p>"));

    replace::UndoRecord record;
    QString error;
    ASSERT_TRUE(store.load(applied.undoId, &record, &error));
    const replace::UndoOutcome undone = store.undo(record);
    EXPECT_EQ(undone.restored, QStringList { kept });
    EXPECT_EQ(undone.leftAlone,
        QStringList { edited + QStringLiteral(": changed since the replace, left alone") });
    EXPECT_EQ(fileBytes(kept), "<p>old</p>");
    EXPECT_EQ(fileBytes(edited), "<p>new, and edited</p>");
    // The record keeps the file left alone, for an undo once it is put right.
    ASSERT_TRUE(store.load(applied.undoId, &record, &error));
    EXPECT_EQ(record.files.size(), 1u);
}

TEST(ReplaceFidelity, AFileChangedAfterThePreviewIsLeftOut)
{
    TemporaryDir dir;
    const replace::UndoStore store(dir.filePath(QStringLiteral("program")));
    const QString path = dir.filePath(QStringLiteral("a.htm"));
    ASSERT_TRUE(putFile(path, "old"));
    replace::ReplaceOptions options;
    options.find = QStringLiteral("old");
    options.with = QStringLiteral("new");
    const replace::FilePlan plan = replace::planFile(path, replace::Replacer(options));
    ASSERT_TRUE(putFile(path, "old, edited"));
    const replace::ApplyOutcome applied = replace::applyPlans({ plan }, QStringLiteral("t"), store);
    EXPECT_TRUE(applied.written.isEmpty());
    EXPECT_TRUE(applied.undoId.isEmpty());
    EXPECT_EQ(applied.leftOut,
        QStringList { path + QStringLiteral(": changed on disk since the preview, left out") });
    EXPECT_EQ(fileBytes(path), "old, edited");
    EXPECT_TRUE(store.list().empty());
}

TEST(ReplaceFidelity, KeepsTheLastRecordsOnly)
{
    TemporaryDir dir;
    const replace::UndoStore store(dir.path());
    QStringList ids;
    for (int i = 0; i < replace::UndoStore::kKept + 3; ++i) {
        replace::UndoRecord record;
        record.id = store.newId();
        QString error;
        ASSERT_TRUE(store.save(record, &error)) << error.toStdString();
        ids << record.id;
    }
    const std::vector<replace::UndoRecord> listed = store.list();
    ASSERT_EQ(listed.size(), size_t(replace::UndoStore::kKept));
    EXPECT_EQ(listed.front().id, ids.last());
    EXPECT_EQ(listed.back().id, ids.at(3));
}

// The pages of the fuzz corpus, in each encoding and line-end form: every replace undoes to
// the original bytes, and changes nothing outside its matches.
TEST(ReplaceFidelity, FuzzCorpusPagesComeBackWhole)
{
    const QDir corpus(qEnvironmentVariable("FOLIOSCOPE_TEST_DATA") + QStringLiteral("/../../fuzz/corpus"));
    QStringList pages;
    for (const QString &target : { QStringLiteral("formatter"), QStringLiteral("links") })
        for (const QString &name : QDir(corpus.filePath(target)).entryList(QDir::Files))
            pages << corpus.filePath(target + QLatin1Char('/') + name);
    ASSERT_FALSE(pages.isEmpty()) << corpus.path().toStdString();
    TemporaryDir dir;
    const replace::UndoStore store(dir.filePath(QStringLiteral("program")));
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    for (const QString &source : pages) {
        const QByteArray raw = fileBytes(source);
        const QByteArray forms[] = { raw, "\xEF\xBB\xBF" + raw, QByteArray(raw).replace("\n", "\r\n"),
            QString::fromUtf8(raw).toLatin1() + "\xFF" };
        for (const QByteArray &original : forms) {
            for (const Scope scope : { Scope::All, Scope::Text, Scope::Attributes }) {
                SCOPED_TRACE(source.toStdString());
                replace::ReplaceOptions options;
                options.find = QStringLiteral("e");
                options.with = QStringLiteral("\u00e9&<\"'");
                options.scope = scope;
                const replace::Replacer replacer(options);
                ASSERT_TRUE(putFile(path, original));
                const replace::FilePlan plan = replace::planFile(path, replacer);
                for (const replace::Edit &edit : plan.page.edits) {
                    const QByteArray taken = original.mid(edit.begin, edit.end - edit.begin);
                    EXPECT_TRUE(taken.compare("e", Qt::CaseInsensitive) == 0 || taken.startsWith('&'))
                        << taken.toStdString();
                }
                const replace::ApplyOutcome applied = replace::applyPlans({ plan }, QStringLiteral("t"), store);
                ASSERT_TRUE(applied.failure.isEmpty()) << applied.failure.toStdString();
                EXPECT_EQ(fileBytes(path), replace::applyEdits(original, plan.page.edits));
                if (applied.undoId.isEmpty())
                    continue;
                replace::UndoRecord record;
                QString error;
                ASSERT_TRUE(store.load(applied.undoId, &record, &error));
                EXPECT_TRUE(store.undo(record).leftAlone.isEmpty());
                EXPECT_EQ(fileBytes(path), original);
            }
        }
    }
}
