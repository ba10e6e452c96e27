#pragma once

#include <QString>

class QWidget;

// The pages as tabs, as the main window and the screenshot export step
// through them.
class PageSet {
public:
    virtual ~PageSet() = default;

    virtual int PageCount() const = 0;
    virtual int CurrentPage() const = 0;
    virtual void ShowPage(int index) = 0;
    virtual QString PageTitle(int index) const = 0;
};
