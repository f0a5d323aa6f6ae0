#include "gui/AboutDialog.h"

#include "Product.h"
#include "core/Program.h"
#include "gui/Icons.h"
#include "gui/Layout.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

using Layout::place;

constexpr int kClientWidth = 5730 / 15;
constexpr int kClientHeight = 3555 / 15;

QFont faceAt(const QStringList& families, qreal points)
{
    QFont f;
    f.setFamilies(families);
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setWeight(QFont::Normal);
    return f;
}

/// Grows a one-line label that the face in use draws taller or wider than
/// the layout allows, so no text is cut.
void fitText(QLabel* l)
{
    const QSize need = l->sizeHint();
    l->resize(qMax(l->width(), need.width()), qMax(l->height(), need.height()));
}

QFrame* rule(QWidget* parent, int index, const QColor& colour, const QRect& geometry)
{
    auto* line = new QFrame(parent);
    line->setObjectName(QStringLiteral("Line1"));
    line->setProperty("index", index);
    line->setFrameShape(QFrame::NoFrame);
    line->setGeometry(geometry);
    line->setAutoFillBackground(true);
    QPalette pal = line->palette();
    pal.setColor(QPalette::Window, colour);
    line->setPalette(pal);
    return line;
}

} // namespace

AboutDialog::AboutDialog(Program& program, QWidget* mainWindow)
    : QDialog(nullptr, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_program(program), m_main(mainWindow)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("About %1").arg(Product::kName));
    setWindowIcon(Icons::program());
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kClientWidth, kClientHeight);

    // Created in tab order.
    m_ok = Layout::button(this, "cmdOK", tr("OK"), 4275, 2625, 1260, 345);
    m_ok->setDefault(true);

    auto* icon = place<QLabel>(this, "picIcon", 150, 225, 780, 780);
    icon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    icon->setLineWidth(2);
    icon->setAlignment(Qt::AlignCenter);
    icon->setPixmap(Icons::program().pixmap(48, 48));

    auto text = [this](const char* name, int l, int t, int w, int h, const QString& content,
                       bool black = true) {
        auto* label = place<QLabel>(this, name, l, t, w, h);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setText(content);
        if (black) {
            QPalette pal = label->palette();
            pal.setColor(QPalette::WindowText, Qt::black);
            label->setPalette(pal);
        }
        return label;
    };
    text("lblDescription", 1050, 1350, 3885, 945,
         tr("%1 joins movie files into one, byte for byte. It is freeware: you may use it and "
            "share it with others free of charge.")
             .arg(Product::kName))
        ->setWordWrap(true);
    text("lblDisclaimer", 255, 2625, 3870, 825,
         tr("This program is provided as is, without warranty of any kind. Keep copies of the "
            "files that matter to you."))
        ->setWordWrap(true);
    QLabel* title = text("lblTitle", 1050, 240, 3885, 480, Product::kName);
    title->setFont(faceAt({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"),
                           QStringLiteral("Bitstream Vera Sans")},
                          14.25));
    QLabel* version = text("lblVersion", 1050, 780, 3885, 225,
                           tr("Version %1.%2.%3b For Windows 95/98/NT")
                               .arg(Product::kMajor)
                               .arg(Product::kMinor)
                               .arg(Product::kRevision),
                           false);
    version->setFont(
        faceAt({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")},
               9.75));
    fitText(title);
    fitText(version);

    QPushButton* exit = Layout::button(this, "CmdExit", tr("Exit"), 4275, 3075, 1260, 345);

    // The etched rule: a grey line with a white one just below it.
    rule(this, 1, QColor(128, 128, 128), QRect(90 / 15, 2445 / 15, (5654 - 90) / 15, 1));
    rule(this, 0, Qt::white, QRect(105 / 15, 2460 / 15, (5654 - 105) / 15, 2));

    connect(m_ok, &QPushButton::clicked, this, &AboutDialog::closeToMainWindow);
    // The exit sequence closes this box; it is deleted after this handler.
    connect(exit, &QPushButton::clicked, this, [this] { m_program.exit(Program::ExitKind::Save); });
    m_ok->setFocus();
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::closeToMainWindow()
{
    close();
    if (m_main)
        Layout::bringForward(m_main);
}

void AboutDialog::keyPressEvent(QKeyEvent* event)
{
    // Esc answers as OK does (the close box only closes).
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        m_ok->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
