#include "ui/qt/about_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt/logo.h"
#include "ui/qt/qt_host.h"

namespace velmora {

AboutDlg::AboutDlg(AboutDlgLogic& model, QWidget* parent) : QDialog(parent) {
    setObjectName("AboutDlg");
    setWindowTitle(toQ(model.title()));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    auto* logo = new QLabel(this);
    logo->setPixmap(velmoraLogo(56));
    logo->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(toQ(model.programName()), this);
    name->setObjectName("name");
    QFont big = font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() + 6);
    name->setFont(big);

    auto* description = new QLabel(toQ(model.description()), this);
    auto* version = new QLabel(toQ(model.versionText()), this);
    version->setObjectName("version");
    auto* link = new QLabel(this);
    link->setObjectName("webLink");
    link->setText(QString("<a href=\"%1\">%2</a>")
                      .arg(toQ(model.linkTarget()).toHtmlEscaped(), toQ(model.linkText()).toHtmlEscaped()));
    link->setToolTip(toQ(model.linkTarget()));
    link->setTextFormat(Qt::RichText);
    link->setOpenExternalLinks(true);
    auto* copyright = new QLabel(toQ(model.copyright()), this);
    QPalette grey = copyright->palette();
    grey.setColor(QPalette::WindowText, QColor(110, 110, 110));
    copyright->setPalette(grey);

    auto* text = new QVBoxLayout;
    text->setSpacing(4);
    text->addWidget(name);
    text->addWidget(description);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(link);
    text->addWidget(copyright);
    if (!model.databaseText().empty()) {
        auto* database = new QLabel(toQ(model.databaseText()), this);
        database->setObjectName("database");
        database->setPalette(grey);
        database->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->addSpacing(8);
        text->addWidget(database);
    }

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(logo);
    top->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(toQ(model.okText()), QDialogButtonBox::AcceptRole);
    ok->setObjectName("ok");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &AboutDlg::accept);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(20, 20, 20, 14);
    outer->addLayout(top);
    outer->addSpacing(12);
    outer->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
}

}  // namespace velmora
