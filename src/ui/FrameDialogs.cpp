#include "ui/FrameDialogs.h"

#include "framework/qt/ControlTableDialog.h"
#include "framework/qt/QtUi.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSysInfo>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdio>

namespace celdo {

DisplayMetrics ReadDisplayMetrics() {
    DisplayMetrics m;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return m;
    m.bitsPerPixel = screen->depth();
    m.width = screen->geometry().width();
    m.height = screen->geometry().height();
    const QRect work = screen->availableGeometry();
    m.workLeft = work.left();
    m.workTop = work.top();
    m.workWidth = work.width();
    m.workHeight = work.height();
    return m;
}

std::string ColourDepthText(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
        return "モノクロ";
    case 4:
        return "16 色";
    case 8:
        return "256 色";
    case 15:
        return "32K色";
    case 16:
        return "64K色";
    case 24:
        return "1678万色";
    default:
        return std::to_string(bitsPerPixel) + " bit";
    }
}

std::string SystemVersionText() {
    QString text = QSysInfo::kernelType();
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    text += QLatin1Char(' ') + QSysInfo::kernelVersion();
    const QString product = QSysInfo::prettyProductName();
    if (!product.isEmpty())
        text += QStringLiteral(" (%1)").arg(product);
    return text.toStdString();
}

ControlTable DisplayInfoDialog(const DisplayMetrics& metrics, const std::string& systemText) {
    ControlTable t;
    t.name = "DisplayInfo";
    t.title = "ディスプレイ情報";
    char size[64];
    std::snprintf(size, sizeof size, "%d × %d", metrics.width, metrics.height);
    t.add(staticText(100, "画面の大きさ：", 0));
    t.add(staticText(displayinfo::ScreenSize, size, 0));
    t.add(staticText(101, "色数：", 1));
    t.add(staticText(displayinfo::ColourDepth, ColourDepthText(metrics.bitsPerPixel), 1));
    t.add(staticText(102, "システム：", 2));
    t.add(staticText(displayinfo::SystemVersion, systemText, 2));
    t.add(button(1, "OK"));
    return t;
}

ControlTable AboutBoxDialog() {
    ControlTable t;
    t.name = "AboutBox";
    t.title = "バージョン情報";
    t.add(staticText(100, "Celdo  Version 0.1", 0));
    t.add(staticText(101, "KiSS のセルとパレットのためのペイントプログラム", 1));
    t.add(button(1, "OK"));
    return t;
}

bool RunPropertySheet(const std::string& title, std::vector<PropertyPage>& pages, QWidget* parent) {
    if (Ui* responder = QtUi::responder()) {
        for (PropertyPage& page : pages)
            if (responder->runDialog(page.shown()) != 1)
                return false;
        for (PropertyPage& page : pages)
            page.apply(page.shown());
        return true;
    }

    QDialog sheet(parent);
    sheet.setObjectName(QStringLiteral("PropertySheet"));
    sheet.setWindowTitle(QString::fromStdString(title));
    auto* tabs = new QTabWidget;
    for (PropertyPage& page : pages) {
        // A control-table dialog serves as the page widget; its own close
        // buttons are the sheet's.
        auto* body = new ControlTableDialog(page.shown());
        body->setWindowFlags(Qt::Widget);
        tabs->addTab(body, QString::fromStdString(page.tab));
    }
    // A page never opened leaves its settings as they were.
    std::vector<bool> visited(pages.size(), false);
    if (!visited.empty())
        visited[0] = true;
    QObject::connect(tabs, &QTabWidget::currentChanged, &sheet, [&visited](int index) {
        if (index >= 0 && static_cast<std::size_t>(index) < visited.size())
            visited[static_cast<std::size_t>(index)] = true;
    });
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    QObject::connect(box, &QDialogButtonBox::accepted, &sheet, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &sheet, &QDialog::reject);
    auto* layout = new QVBoxLayout(&sheet);
    layout->addWidget(tabs);
    layout->addWidget(box);
    if (sheet.exec() != QDialog::Accepted)
        return false;
    for (std::size_t i = 0; i < pages.size(); ++i)
        if (visited[i])
            pages[i].apply(pages[i].shown());
    return true;
}

} // namespace celdo
