// The Slovene catalogue: in line with the sources (lupdate on a copy adds or retires nothing),
// every text translated, compiled into the program, and a Slovene start-up shows Slovene menus.
#include "gui/uitranslation.h"
#include "guitest.h"

namespace {

struct Entry {
    QString context, source, translation, type;
};

QStringList placeholders(const QString &text)
{
    QStringList found;
    for (const auto &match : QRegularExpression(QStringLiteral("%\\d")).globalMatch(text))
        found << match.captured();
    found.sort();
    return found;
}

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void catalogueMatchesTheSourcesAndEveryTextIsTranslated()
    {
        QTemporaryDir folder;
        const QString copy = folder.filePath(QStringLiteral("verdalis_sl_SI.ts"));
        QVERIFY(QFile::copy(QStringLiteral(VERDALIS_CATALOGUE), copy));
        // Without -no-obsolete: a text the sources no longer have shows up as vanished.
        QStringList arguments = QString::fromUtf8(VERDALIS_LUPDATE_OPTIONS).split(QLatin1Char('|'));
        arguments << QStringLiteral("@" VERDALIS_CATALOGUE_SOURCES) << QStringLiteral("-ts") << copy;
        QProcess lupdate;
        lupdate.start(QStringLiteral(VERDALIS_LUPDATE), arguments);
        QVERIFY(lupdate.waitForFinished(120000));
        QCOMPARE(lupdate.exitCode(), 0);

        // Each message's context, source, translation and the type lupdate gave it.
        QFile catalogue(copy);
        QVERIFY(catalogue.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&catalogue);
        QList<Entry> entries;
        Entry entry;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"name") {
                entry.context = xml.readElementText();
            } else if (xml.name() == u"source") {
                entry.source = xml.readElementText();
            } else if (xml.name() == u"translation") {
                entry.type = xml.attributes().value(QStringLiteral("type")).toString();
                entry.translation = xml.readElementText();
                entries << entry;
            }
        }
        QVERIFY(entries.size() > 300);
        QStringList problems;
        for (const Entry &e : entries) {
            const QString where = e.context + QStringLiteral(": ") + e.source;
            if (!e.type.isEmpty())
                problems << e.type + QStringLiteral(" ") + where;
            else if (e.translation.isEmpty())
                problems << QStringLiteral("empty ") + where;
            else if (placeholders(e.translation) != placeholders(e.source))
                problems << QStringLiteral("placeholders differ in ") + where;
            else if (e.source.contains(QRegularExpression(QStringLiteral("&\\w"))) &&
                     !e.translation.contains(QRegularExpression(QStringLiteral("&[^\\s&]"))))
                problems << QStringLiteral("no keyboard mnemonic in ") + where;
        }
        QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("run 'make translations' and translate:\n") +
                                                problems.join('\n')));
    }

    void slovenianStartShowsSlovenianMenusBoxesAndLatexPieces()
    {
        const auto translator = gui::installUiTranslation(QStringLiteral("sl_SI"));
        gui::MainWindow window;
        QCOMPARE(window.findChild<QAction *>(QStringLiteral("actionLoad_parameters"))->text(),
                 QStringLiteral("&Odpri parametre drevesa"));
        QCOMPARE(QCoreApplication::translate("TreeLatexWriter", " and "), QStringLiteral(" in "));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("V redu"));
        QCOMPARE(QCoreApplication::translate("gui::actionhandling::FileHandler", "Could not open file."),
                 QString::fromUtf8("Datoteke ni bilo mogoče odpreti."));

        // Any other locale keeps the English texts.
        QCoreApplication::removeTranslator(translator.get());
        const auto english = gui::installUiTranslation(QStringLiteral("de_DE"));
        gui::MainWindow other;
        QCOMPARE(other.findChild<QAction *>(QStringLiteral("actionLoad_parameters"))->text(),
                 QStringLiteral("L&oad tree parameters"));
    }
};

VERDALIS_GUI_TEST_MAIN(TestTranslations)
#include "test_translations.moc"
