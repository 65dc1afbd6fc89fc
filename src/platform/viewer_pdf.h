// A PDF document shown in a scrolling page view; the PDF viewer and the Office viewer (which
// shows its converted documents as PDF) both show through it.
#pragma once

#include "vyne_config.h"
#if VYNE_WITH_PDF

#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class QPdfDocument;
class QPdfView;
class QWidget;

namespace platform {

// The document is not a child of the view: a view that is being destroyed must not hear from
// its document closing.
class PdfPane {
public:
    explicit PdfPane(QWidget* parent);
    ~PdfPane();
    PdfPane(const PdfPane&) = delete;
    PdfPane& operator=(const PdfPane&) = delete;

    QPdfView* view() const { return view_; }
    // Loads the file; on failure the plain-words reason, and the pane is left empty.
    std::optional<QString> load(const QString& path);
    void close();

private:
    QPointer<QPdfView> view_;
    std::unique_ptr<QPdfDocument> document_;
};

}  // namespace platform

#endif
