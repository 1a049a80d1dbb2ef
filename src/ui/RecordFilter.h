#pragma once
// Which records the views show while the technician is finding one: given
// a record key ("E007"), whether it matches. An empty filter shows all.
#include <QString>
#include <functional>

using RecordFilter = std::function<bool(const QString &key)>;
