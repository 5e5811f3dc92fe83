#pragma once

#include "app/messagetarget.h"
#include "db/catalogtargets.h"

#include <QList>
#include <QPair>
#include <QString>

#include <algorithm>

// Plain-container stand-ins for the widgets and dialogs the core talks to.
namespace kvtest {

// A combo box that sorts its items by text, as the real one does.
class ComboRecorder : public ISchemaCombo
{
public:
    void ResetContent() override
    {
        items.clear();
        ++nResets;
    }
    void AddItem(const QString& strText, int nData) override
    {
        const QPair<QString, int> item(strText, nData);
        items.insert(std::upper_bound(items.begin(), items.end(), item,
                                      [](const auto& a, const auto& b) { return a.first < b.first; }),
                     item);
    }

    QList<QPair<QString, int>> items;   // text, data
    int nResets = 0;
};

class ListRecorder : public ITableList
{
public:
    void DeleteAllItems() override { items.clear(); }
    void AppendItem(int nIndex) override { items.append(nIndex); }

    QList<int> items;
};

// Records every message; answers WM_TASK_QUERYCANCEL with "cancel" from
// the nCancelAtQuery-th question on (0: never).
class MessageRecorder : public CMessageTarget
{
public:
    explicit MessageRecorder(int nCancelAtQuery = 0) : m_nCancelAtQuery(nCancelAtQuery) {}

    qintptr SendMessage(unsigned nMessage, qintptr wParam, qintptr lParam) override
    {
        sent.append({nMessage, wParam, lParam});
        if (nMessage == WM_TASK_QUERYCANCEL) {
            ++nQueries;
            return m_nCancelAtQuery > 0 && nQueries >= m_nCancelAtQuery ? 1 : 0;
        }
        return 0;
    }
    void PostMessage(unsigned nMessage, qintptr wParam, qintptr lParam) override
    {
        posted.append({nMessage, wParam, lParam});
    }

    int Count(unsigned nMessage) const
    {
        return int(std::count_if(sent.cbegin(), sent.cend(), [&](const Message& m) { return m.nMessage == nMessage; }));
    }

    struct Message
    {
        unsigned nMessage;
        qintptr wParam;
        qintptr lParam;
    };
    QList<Message> sent;
    QList<Message> posted;
    int nQueries = 0;

private:
    int m_nCancelAtQuery;
};

}  // namespace kvtest
