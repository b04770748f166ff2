#pragma once
// The events of the display components: a callable bound by the owner, called with
// the display as Sender. BeforeValueChange handlers may veto a change (Allow false)
// or replace the value before it is shown.
#include "clocks/DateTime.h"

#include <functional>

class QObject;

using TNotifyEvent = std::function<void(QObject* Sender)>;
using TValueEvent = std::function<void(QObject* Sender, bool& Allow, int& Value)>;
using TTimeEvent = std::function<void(QObject* Sender, bool& Allow, TTime& Value)>;
