#include "tests/support/MessageBoxScript.h"

#include <gtest/gtest.h>

MessageBoxScript::MessageBoxScript()
{
    m_previous = platform::SetMessageBoxHandler(
        [this](QWidget* owner, const QString& text, unsigned style) { return answer(owner, text, style); });
}

MessageBoxScript::~MessageBoxScript()
{
    platform::SetMessageBoxHandler(std::move(m_previous));
    for (const Step& step : m_expected)
        ADD_FAILURE() << "expected message box was not shown: \"" << step.text.toStdString() << "\" style 0x"
                      << std::hex << step.style;
}

MessageBoxScript& MessageBoxScript::Expect(const QString& text, unsigned style, int answer)
{
    m_expected.append(Step{text, style, answer, false, {}});
    return *this;
}

MessageBoxScript& MessageBoxScript::ExpectStartingWith(const QString& prefix, unsigned style, int answer)
{
    m_expected.append(Step{prefix, style, answer, true, {}});
    return *this;
}

MessageBoxScript& MessageBoxScript::ExpectDefault(const QString& text, unsigned style)
{
    return Expect(text, style, platform::DefaultButton(style));
}

MessageBoxScript& MessageBoxScript::Then(std::function<void()> action)
{
    if (!m_expected.isEmpty())
        m_expected.last().then = std::move(action);
    return *this;
}

int MessageBoxScript::answer(QWidget* owner, const QString& text, unsigned style)
{
    m_shown.append(Box{text, style, owner});
    if (m_expected.isEmpty()) {
        ADD_FAILURE() << "unexpected message box: \"" << text.toStdString() << "\" style 0x" << std::hex << style;
        return platform::IDCANCEL;
    }
    const Step step = m_expected.takeFirst();
    if (step.prefix)
        EXPECT_TRUE(text.startsWith(step.text)) << "message box text \"" << text.toStdString() << "\" does not begin with \""
                                                << step.text.toStdString() << "\"";
    else
        EXPECT_EQ(step.text.toStdString(), text.toStdString()) << "message box text";
    EXPECT_EQ(step.style, style) << "message box style of \"" << text.toStdString() << "\"";
    if (step.then)
        step.then();
    return step.answer;
}
