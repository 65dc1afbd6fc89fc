#include "platform/viewer_pdf.h"
#if VYNE_WITH_PDF

#include "platform/viewer_kinds.h"

#include <QFileInfo>
#include <QPdfDocument>
#include <QPdfView>
#include <QPointer>

namespace platform {

PdfPane::PdfPane(QWidget* parent) : view_(new QPdfView(parent)), document_(std::make_unique<QPdfDocument>()) {
    view_->setDocument(document_.get());
    view_->setPageMode(QPdfView::PageMode::MultiPage);
    view_->setZoomMode(QPdfView::ZoomMode::FitToWidth);
}

std::optional<QString> PdfPane::load(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    switch (document_->load(path)) {
    case QPdfDocument::Error::None:
        if (document_->pageCount() > 0) return std::nullopt;
        document_->close();
        return QStringLiteral("%1 has no pages.").arg(name);
    case QPdfDocument::Error::FileNotFound:
        return QStringLiteral("File %1 not exist.").arg(path);
    case QPdfDocument::Error::IncorrectPassword:
    case QPdfDocument::Error::UnsupportedSecurityScheme:
        document_->close();
        return QStringLiteral("%1 is protected by a password.").arg(name);
    default:
        document_->close();
        return QStringLiteral("%1 is not a readable PDF file.").arg(name);
    }
}

PdfPane::~PdfPane() {
    if (view_) view_->setDocument(nullptr);
}

void PdfPane::close() { document_->close(); }

namespace {

class PdfViewer : public Viewer {
public:
    explicit PdfViewer(QWidget* parent) : pane_(parent), view_(pane_.view()) {
        view_->setObjectName(QStringLiteral("PDF1"));
        view_->hide();
    }
    ~PdfViewer() override { delete view_.data(); }

    ViewerKind kind() const override { return ViewerKind::Pdf; }
    QWidget* widget() override { return view_; }

    bool showFile(const QString& path) override {
        if (auto failure = pane_.load(path)) {
            reportStatus(*failure);
            view_->hide();
            return false;
        }
        view_->show();
        view_->raise();
        return true;
    }

    void hideViewer() override {
        pane_.close();
        view_->hide();
    }

private:
    PdfPane pane_;
    QPointer<QPdfView> view_;
};

}  // namespace

std::unique_ptr<Viewer> makePdfViewer(QWidget* parent) { return std::make_unique<PdfViewer>(parent); }

}  // namespace platform

#endif
