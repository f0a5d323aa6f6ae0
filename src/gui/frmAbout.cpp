#include "gui/frmAbout.h"

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

void paintBlack(QWidget* w)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    w->setPalette(pal);
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

frmAbout::frmAbout(Program& program, QWidget* mainWindow)
    : QDialog(nullptr, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_program(program), m_main(mainWindow)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowIcon(Icons::program());
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kClientWidth, kClientHeight);

    // Created in tab order.
    cmdOK = Layout::button(this, "cmdOK", QStringLiteral("OK"), 4275, 2625, 1260, 345);
    cmdOK->setDefault(true);

    picIcon = place<QLabel>(this, "picIcon", 150, 225, 780, 780);
    picIcon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picIcon->setLineWidth(2);
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setPixmap(Icons::program().pixmap(48, 48));

    lblDescription = place<QLabel>(this, "lblDescription", 1050, 1350, 3885, 945);
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDescription->setText(descriptionText());
    paintBlack(lblDescription);

    lblDisclaimer = place<QLabel>(this, "lblDisclaimer", 255, 2625, 3870, 825);
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDisclaimer->setText(disclaimerText());
    paintBlack(lblDisclaimer);

    lblTitle = place<QLabel>(this, "lblTitle", 1050, 240, 3885, 480);
    lblTitle->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTitle->setFont(faceAt({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"),
                              QStringLiteral("Bitstream Vera Sans")},
                             14.25));
    paintBlack(lblTitle);

    lblVersion = place<QLabel>(this, "lblVersion", 1050, 780, 3885, 225);
    lblVersion->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblVersion->setFont(
        faceAt({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")},
               9.75));

    CmdExit = Layout::button(this, "CmdExit", QStringLiteral("Exit"), 4275, 3075, 1260, 345);

    // The etched rule: a grey line with a white one just below it.
    Line1[1] = rule(this, 1, QColor(128, 128, 128), QRect(90 / 15, 2445 / 15, (5654 - 90) / 15, 1));
    Line1[0] = rule(this, 0, Qt::white, QRect(105 / 15, 2460 / 15, (5654 - 105) / 15, 2));

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(CmdExit, &QPushButton::clicked, this, &frmAbout::CmdExit_Click);

    Form_Load();
    cmdOK->setFocus();
}

frmAbout::~frmAbout() = default;

QString frmAbout::descriptionText()
{
    return Product::kName +
           QStringLiteral(" joins movie files into one, byte for byte. It is freeware: you may "
                          "use it and share it with others free of charge.");
}

QString frmAbout::disclaimerText()
{
    return QStringLiteral("This program is provided as is, without warranty of any kind. Keep "
                          "copies of the files that matter to you.");
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("About ") + Product::kName);
    lblVersion->setText(QStringLiteral("Version %1.%2.%3b For Windows 95/98/NT")
                            .arg(Product::kMajor)
                            .arg(Product::kMinor)
                            .arg(Product::kRevision));
    lblTitle->setText(Product::kName);
    fitText(lblTitle);
    fitText(lblVersion);
}

void frmAbout::cmdOK_Click()
{
    close();
    if (m_main) {
        m_main->show();
        m_main->raise();
        m_main->activateWindow();
    }
}

void frmAbout::CmdExit_Click()
{
    // The exit sequence closes this box; it is deleted after this handler.
    m_program.exit(Program::ExitKind::Save);
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    // Esc answers as OK does (the close box only closes).
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
