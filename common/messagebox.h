#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace velinor::msg {

enum class Icon { Critical, Exclamation, Information };

// The one way the program talks to the user: a modal box titled "Kestrava"
// with a single OK button. Returns when the user has closed it.
void show(QWidget* parent, const QString& text, Icon icon = Icon::Critical);

inline void critical(QWidget* parent, const QString& text) { show(parent, text, Icon::Critical); }
inline void exclamation(QWidget* parent, const QString& text) { show(parent, text, Icon::Exclamation); }
inline void information(QWidget* parent, const QString& text) { show(parent, text, Icon::Information); }

// A failed operation, named, with the reason, as one sentence:
// "Saving the article failed: ...".
void failed(QWidget* parent, const QString& operation, const QString& why);

// The one question the program asks before doing something twice: the
// same box with Yes and No. True for Yes.
bool ask(QWidget* parent, const QString& text);

// Tests replace the modal box: while a hook is set it receives every message
// instead of the user, and no box is shown.
using Hook = std::function<void(const QString& text, Icon icon)>;
void setTestHook(Hook hook);
// ...and answer the questions: while set it answers instead of the user; a
// question without it, under the message hook, is recorded there and
// answered No.
using AskHook = std::function<bool(const QString& text)>;
void setAskHook(AskHook hook);

} // namespace velinor::msg
