#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>

// Standard integer parsing: optional leading white space and sign, then the leading digits;
// 0 when there are none. Saturates at the 32-bit limits instead of overflowing.
int32_t ParseStandardInteger(QStringView text);

QString FormatScaled(int32_t value, int8_t places);
int64_t ScaleToInteger(double x, int8_t places);
QString IpValueToText(uint32_t value);
uint32_t IpTextToValue(const QString& text);
// 0..15 for a hexadecimal digit of either case, -1 for anything else.
int HexDigitValue(QChar c);
uint32_t HexTextToValue(const QString& text);
int IpTextToHex(const QString& dotted, QString& hex);
int IpHexToText(const QString& hex, QString& dotted);
int HexByteValue(const QString& text);
QString FormatMinutesDhm(uint32_t minutes);
QString SplitFirst(QString& text, const QString& separator);
QString FileExtensionOf(const QString& path);
// Probes COM1..highest through the port table; false when none opened or highest is 0.
bool ListOpenableComPorts(uint16_t highest, QList<uint16_t>& ports);
