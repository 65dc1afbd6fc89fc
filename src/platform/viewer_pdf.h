// A PDF document shown in a scrolling page view; the PDF viewer and the Office viewer (which
// shows its converted documents as PDF) both show through it.
#pragma once

#include "vyne_config.h"
#if VYNE_WITH_PDF

#include <QString>

#include <optional>

class QPdfDocument;
class QPdfView;
class QWidget;

namespace platform {

class PdfPane {
public:
    explicit PdfPane(QWidget* parent);
    PdfPane(const PdfPane&) = delete;
    PdfPane& operator=(const PdfPane&) = delete;

    QPdfView* view() const { return view_; }
    // Loads the file; on failure the plain-words reason, and the pane is left empty.
    std::optional<QString> load(const QString& path);
    void close();

private:
    QPdfView* view_;
    QPdfDocument* document_;
};

}  // namespace platform

#endif
