// Every text of every window in the user's language, none clipped; translation files whole.
#include "Product.h"
#include "gui/AboutDialog.h"
#include "gui/JoinStatusDialog.h"
#include "gui/PreferencesDialog.h"
#include "gui/QtDesktop.h"
#include "support/GuiSupport.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QXmlStreamReader>

using namespace TestSupport;

namespace {

const QRegularExpression kLetter("\\p{L}");

/// A message of a .ts file: its source, its translation (each plural form), if unfinished.
struct Message
{
    QString source;
    QStringList forms;
    bool unfinished = false;
};

QList<Message> messagesOf(const QString& tsFile)
{
    QFile file(tsFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Message> messages;
    bool numerus = false;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"message") {
            messages.append(Message());
            numerus = xml.attributes().value(QLatin1String("numerus")) == u"yes";
        } else if (messages.isEmpty()) {
            continue;
        } else if (xml.name() == u"source") {
            messages.last().source = xml.readElementText();
        } else if (xml.name() == u"translation") {
            messages.last().unfinished =
                xml.attributes().value(QLatin1String("type")) == u"unfinished";
            if (!numerus)
                messages.last().forms << xml.readElementText();
        } else if (xml.name() == u"numerusform") {
            messages.last().forms << xml.readElementText();
        }
    }
    return messages;
}

/// The placeholders of a text, sorted: "%1 %1 %2 %n".
QStringList placeholders(const QString& text)
{
    QStringList found;
    for (const auto& m : QRegularExpression("%[1-9n]").globalMatch(text))
        found << m.captured();
    found.sort();
    return found;
}

/// Whether `o` belongs to `top` itself rather than to a dialog opened over it.
bool ownedBy(const QObject* top, const QObject* o)
{
    for (o = o->parent(); o && o != top; o = o->parent())
        if (qobject_cast<const QDialog*>(o))
            return false;
    return true;
}

/// What a user reads on `window`'s controls, under keys naming them; `folder` shows as "/".
void readTexts(const QObject* top, const QString& folder, QMap<QString, QString>& texts)
{
    QList<const QObject*> objects = {top};
    for (const QObject* o : top->findChildren<QObject*>())
        if (ownedBy(top, o) && !qobject_cast<const QDialog*>(o))
            objects << o;
    for (int i = 0; i < objects.size(); ++i)
        for (const char* property : {"windowTitle", "text", "title", "plainText", "toolTip",
                                     "accessibleName", "iconText"}) {
            const QString text =
                objects[i]->property(property).toString().replace(folder, QStringLiteral("/"));
            if (text.contains(kLetter) && !text.startsWith(Product::kName))
                texts.insert(QStringLiteral("%1 %2 %3 %4.%5")
                                 .arg(top->objectName(), QString::number(i),
                                      objects[i]->metaObject()->className(),
                                      objects[i]->objectName(), QLatin1String(property)),
                             text);
        }
}

/// Controls of `window` whose text is wider than they are, or that lie over another's.
QStringList clipped(const QWidget* window)
{
    QStringList found;
    QList<const QWidget*> worded;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || !ownedBy(window, w) || qobject_cast<const QDialog*>(w))
            continue;
        const auto* label = qobject_cast<const QLabel*>(w);
        const auto* box = qobject_cast<const QGroupBox*>(w);
        const auto* check = qobject_cast<const QCheckBox*>(w);
        const auto* button = qobject_cast<const QPushButton*>(w);
        const int need = label && !label->wordWrap() ? label->sizeHint().width()
                         : box   ? box->fontMetrics().horizontalAdvance(box->title()) + 12
                         : check ? check->sizeHint().width()
                         : button
                             ? button->fontMetrics().horizontalAdvance(button->text().remove('&'))
                             : 0;
        if (const int room = w->width(); need > room)
            found << QStringLiteral("%1 (%2 > %3 px)").arg(w->objectName()).arg(need).arg(room);
        for (const QWidget* other : std::as_const(worded))
            if (need > 0 && other->parent() == w->parent() &&
                other->geometry().intersects(w->geometry()))
                found << w->objectName() + QStringLiteral(" over ") + other->objectName();
        if (need > 0)
            worded << w;
    }
    return found;
}

/// The texts and clipped controls of the program's windows after a join of one file.
struct Shown
{
    QMap<QString, QString> texts;
    QStringList clipped;
};

Shown showWindows()
{
    App app;
    Shown shown;
    app.window->show();
    app.queue().add({makeFile(app.folder.path(), "a.mpg", 5000)});
    app.desktop.setNextSaveFile(app.folder.filePath("t.mpg"));
    child<QAbstractButton>(app.window.get(), "CmdJoin")->click();
    if (!app.joinEnded())
        return shown;
    child<QAction>(app.window.get(), "mnu_subPrefs")->trigger();
    child<QAction>(app.window.get(), "mnu_About")->trigger();
    for (QWidget* window :
         std::initializer_list<QWidget*>{app.window.get(), app.window->statusWindow(),
                                         app.window->prefsWindow(), app.window->aboutWindow()}) {
        readTexts(window, app.folder.path(), shown.texts);
        shown.clipped += clipped(window);
    }
    const QAbstractItemModel& model = app.queue().model();
    for (int column = 0; column < model.columnCount(); ++column)
        shown.texts.insert(QStringLiteral("main header %1").arg(column),
                           model.headerData(column, Qt::Horizontal).toString());
    // Qt's own: the buttons of a question and of the file dialog, in the order of their roles.
    QtDesktop desktop(QStringLiteral("Reelbind"));
    desktop.askYesNo(nullptr, "?", "?", Desktop::Default::Yes, [](bool) {});
    desktop.chooseFilesToOpen(nullptr, app.folder.path(), {"*"}, [](const QStringList&) {});
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* box = top->isVisible() ? top->findChild<QDialogButtonBox*>() : nullptr) {
            QMap<int, QString> buttons;
            for (QAbstractButton* b : box->buttons())
                buttons.insert(box->buttonRole(b), b->text());
            shown.texts.insert(QStringLiteral("Qt ") + top->metaObject()->className(),
                               buttons.values().join('|'));
        }
    desktop.dismissAll();
    return shown;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT
private slots:
    // Each text of the windows and Qt's dialogs is the language's (or alike in both), none cut.
    void windows_data()
    {
        const Table<QLocale, QString> row({"locale", "language"});
        row("English", QLocale(QLocale::English, QLocale::UnitedStates), "en");
        row("German", QLocale(QLocale::German, QLocale::Germany), "de");
        row("French", QLocale(QLocale::French, QLocale::France), "fr");
        row("Spanish", QLocale(QLocale::Spanish, QLocale::Spain), "es");
    }
    void windows()
    {
        const auto language = fetch<QString>("language");
        const Shown english = showWindows();
        QVERIFY(english.texts.size() > 60);
        QLocale::setDefault(fetch<QLocale>("locale"));
        const Translations texts({QStringLiteral(REELBIND_BUILT_TRANSLATIONS)},
                                 fetch<QLocale>("locale"));
        const Shown shown = showWindows();
        QLocale::setDefault(QLocale::c());
        QCOMPARE(texts.language(), language);
        QCOMPARE(shown.clipped.join(", "), QString());
        if (language == QLatin1String("en"))
            return;
        QSet<QString> alike; // the texts the language writes as English does
        for (const Message& m :
             messagesOf(QStringLiteral(REELBIND_TS_DIR "/reelbind_%1.ts").arg(language)))
            if (m.forms == QStringList{m.source})
                alike.insert(m.source);
        QStringList untranslated;
        for (auto it = english.texts.cbegin(); it != english.texts.cend(); ++it)
            if (shown.texts.value(it.key()) == it.value() && !alike.contains(it.value()))
                untranslated << it.key() + ": " + it.value();
        QCOMPARE(shown.texts.keys(), english.texts.keys());
        QCOMPARE(untranslated.join("\n"), QString());
    }
    // Every message is finished and keeps the source's placeholders and paragraphs in each form.
    void filesWhole_data()
    {
        const Table<QString> row({"file"});
        for (const QString& file : QDir(REELBIND_TS_DIR).entryList({"*.ts"}))
            row(qPrintable(file), file);
    }
    void filesWhole()
    {
        const QList<Message> messages =
            messagesOf(QStringLiteral(REELBIND_TS_DIR "/") + fetch<QString>("file"));
        QVERIFY(messages.size() >= 10);
        QStringList faults;
        for (const Message& m : messages)
            for (const QString& form : m.forms)
                if (m.unfinished || form.isEmpty() ||
                    placeholders(form) != placeholders(m.source) ||
                    form.count("\n\n") != m.source.count("\n\n"))
                    faults << m.source;
        QCOMPARE(faults.join("\n"), QString());
    }
};

REELBIND_GUI_TEST_MAIN(TestTranslations)
#include "test_translations.moc"
