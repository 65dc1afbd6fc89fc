// The Office viewer: Word, Excel and PowerPoint documents are converted to PDF by LibreOffice
// running headless in the background, then shown as PDF. The window never waits for the
// conversion: the pane tells how long it has been running, and a conversion that fails or takes
// too long hands the original document to the operating system instead.
#include "platform/viewer_pdf.h"
#if VYNE_WITH_PDF

#include "platform/shell.h"
#include "platform/viewer_kinds.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPdfView>
#include <QPointer>
#include <QProcess>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif

namespace platform {
namespace {

// A folder for the conversion's own files inside the temporary folder, which is created
// private to the user when missing.
std::unique_ptr<QTemporaryDir> scratchFolder(const QString& label) {
    const QString base = temporaryFolder();
    if (!QFileInfo::exists(base) && QDir().mkpath(base))
        QFile::setPermissions(base, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/vyne-%1-XXXXXX").arg(label));
    return dir->isValid() ? std::move(dir) : nullptr;
}

class OfficeViewer : public Viewer {
public:
    OfficeViewer(QWidget* parent, QString program, int timeoutMs)
        : pane_(new QStackedWidget(parent)), pdf_(pane_), program_(std::move(program)), timeoutMs_(timeoutMs) {
        pane_->setObjectName(QStringLiteral("FramerControl1"));
        message_ = new QLabel(pane_);
        message_->setAlignment(Qt::AlignCenter);
        message_->setWordWrap(true);
        pane_->addWidget(message_);
        pane_->addWidget(pdf_.view());
        tick_ = new QTimer(pane_);
        tick_->setInterval(std::clamp(timeoutMs_ / 4, 50, 500));
        QObject::connect(tick_, &QTimer::timeout, pane_, [this] { checkProgress(); });
        pane_->hide();
    }

    // Unless its parent took the pane (and the conversion, a child of it) already.
    ~OfficeViewer() override {
        if (!pane_) return;
        stopConversion();
        delete pane_.data();
    }

    ViewerKind kind() const override { return ViewerKind::Office; }
    QWidget* widget() override { return pane_; }

    bool showFile(const QString& path) override {
        stopConversion();
        pdf_.close();
        if (!isShowableFile(path)) return false;
        const QFileInfo info(path);
        if (info.suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0) return showPdf(path);
        return startConversion(info);
    }

    void hideViewer() override {
        stopConversion();
        pdf_.close();
        pane_->hide();
    }

private:
    bool startConversion(const QFileInfo& source) {
        if (!profile_) profile_ = scratchFolder(QStringLiteral("office-profile"));
        output_ = scratchFolder(QStringLiteral("office"));
        if (!profile_ || !output_) {
            reportStatus(QStringLiteral("No room to convert %1.").arg(source.fileName()));
            return false;
        }
        source_ = source.absoluteFilePath();
        process_ = new QProcess(pane_);
#ifdef Q_OS_UNIX
        // LibreOffice starts helper processes: give them a group of their own so that a
        // conversion that is given up ends all of them.
        process_->setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
        QObject::connect(process_, &QProcess::finished, pane_, [this] { conversionEnded(); });
        QObject::connect(process_, &QProcess::errorOccurred, pane_, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) giveUp(QStringLiteral("LibreOffice could not be started"));
        });
        process_->start(program_, {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile_->path()).toString(),
                                   QStringLiteral("--headless"), QStringLiteral("--norestore"),
                                   QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                                   QStringLiteral("--outdir"), output_->path(), source_});
        clock_.start();
        tick_->start();
        showMessage(progressText());
        reportStatus(progressText());
        return true;
    }

    QString progressText() const {
        return QStringLiteral("Converting %1 for display... %2 s")
            .arg(QFileInfo(source_).fileName())
            .arg(clock_.isValid() ? clock_.elapsed() / 1000 : 0);
    }

    void checkProgress() {
        if (clock_.elapsed() >= timeoutMs_) giveUp(QStringLiteral("the conversion took too long"));
        else {
            message_->setText(progressText());
            reportStatus(progressText());
        }
    }

    void conversionEnded() {
        const bool clean = process_->exitStatus() == QProcess::NormalExit && process_->exitCode() == 0;
        stopConversion();
        const QFileInfo source(source_);
        const QString converted = output_->filePath(source.completeBaseName() + QStringLiteral(".pdf"));
        if (!clean || QFileInfo(converted).size() <= 0) {
            giveUp(QStringLiteral("LibreOffice could not convert it"));
            return;
        }
        // The converted document joins the other temporary files, readable by the user only.
        const QString shown = QFileInfo(output_->path()).dir().filePath(source.fileName() + QStringLiteral(".pdf"));
        QFile::remove(shown);
        if (!QFile::rename(converted, shown)) {
            giveUp(QStringLiteral("the converted document could not be kept"));
            return;
        }
        QFile::setPermissions(shown, QFile::ReadOwner | QFile::WriteOwner);
        output_.reset();
        if (showPdf(shown)) reportStatus(QString());
        else giveUp(QStringLiteral("the converted document could not be shown"));
    }

    bool showPdf(const QString& path) {
        if (auto failure = pdf_.load(path)) {
            reportStatus(*failure);
            return false;
        }
        pane_->setCurrentWidget(pdf_.view());
        pane_->show();
        pane_->raise();
        return true;
    }

    void showMessage(const QString& text) {
        message_->setText(text);
        pane_->setCurrentWidget(message_);
        pane_->show();
        pane_->raise();
    }

    // The document goes to the operating system when it cannot be shown here.
    void giveUp(const QString& why) {
        stopConversion();
        output_.reset();
        const QString name = QFileInfo(source_).fileName();
        QString text = QStringLiteral("%1 was not shown: %2.").arg(name, why);
        if (auto refused = openWithOS(source_)) text += QLatin1Char(' ') + *refused;
        else text += QStringLiteral(" It was handed to the operating system.");
        showMessage(text);
        reportStatus(text);
    }

    void stopConversion() {
        tick_->stop();
        if (!process_) return;
        process_->disconnect();
        if (process_->state() != QProcess::NotRunning) {
#ifdef Q_OS_UNIX
            // Never a group of 0: that would be our own.
            if (const qint64 pid = process_->processId(); pid > 0) ::kill(-pid_t(pid), SIGKILL);
#endif
            process_->kill();
            process_->waitForFinished(3000);
        }
        // It may be this process's own signal that got us here.
        process_->deleteLater();
        process_ = nullptr;
    }

    QPointer<QStackedWidget> pane_;
    PdfPane pdf_;
    QLabel* message_;
    QTimer* tick_;
    const QString program_;
    const int timeoutMs_;
    std::unique_ptr<QTemporaryDir> profile_;
    std::unique_ptr<QTemporaryDir> output_;
    QPointer<QProcess> process_;
    QElapsedTimer clock_;
    QString source_;
};

}  // namespace

QString findOfficeProgram() { return QStandardPaths::findExecutable(QStringLiteral("soffice")); }

std::unique_ptr<Viewer> makeOfficeViewer(QWidget* parent, const QString& officeProgram, int timeoutMs) {
    if (officeProgram.isEmpty() || !QFileInfo(officeProgram).isExecutable()) return nullptr;
    return std::make_unique<OfficeViewer>(parent, officeProgram, timeoutMs);
}

}  // namespace platform

#endif
