' The vb... constants: characters, Booleans, comparison modes, types, buttons, days, formats, colours,
' the object error base; Integers but for the colours, the help button and the error base (Long).
out.Print Len(vbCrLf) & " " & Asc(vbCr) & " " & Asc(vbLf) & " " & (vbNewLine = vbCrLf) & " " & Asc(vbTab)
out.Print Len(vbNullString) & " " & Len(vbNullChar) & " " & Asc(vbNullChar)
out.Print vbTrue & " " & vbFalse & " " & vbUseDefault & " " & TypeName(vbTrue)
out.Print vbBinaryCompare & " " & vbTextCompare
out.Print vbEmpty & " " & vbNull & " " & vbInteger & " " & vbLong & " " & vbSingle & " " & vbDouble & " " & vbCurrency & " " & vbDate & " " & vbString & " " & vbObject & " " & vbError & " " & vbBoolean & " " & vbVariant & " " & vbByte & " " & vbArray
out.Print vbOKOnly & " " & vbOKCancel & " " & vbAbortRetryIgnore & " " & vbYesNoCancel & " " & vbYesNo & " " & vbRetryCancel
out.Print vbCritical & " " & vbQuestion & " " & vbExclamation & " " & vbInformation & " " & vbDefaultButton2 & " " & vbDefaultButton3
out.Print vbOK & " " & vbCancel & " " & vbAbort & " " & vbRetry & " " & vbIgnore & " " & vbYes & " " & vbNo
out.Print vbSunday & " " & vbMonday & " " & vbSaturday & " " & vbUseSystemDayOfWeek & " " & vbFirstJan1 & " " & vbFirstFourDays & " " & vbFirstFullWeek
out.Print vbGeneralDate & " " & vbLongDate & " " & vbShortDate & " " & vbLongTime & " " & vbShortTime
out.Print vbBlack & " " & vbRed & " " & vbGreen & " " & vbYellow & " " & vbBlue & " " & vbMagenta & " " & vbCyan & " " & vbWhite
out.Print vbSystemModal & " " & vbMsgBoxHelpButton & " " & vbObjectError
out.Print TypeName(vbCr) & " " & TypeName(vbOKOnly) & " " & TypeName(vbSunday) & " " & TypeName(vbBlack) & " " & TypeName(vbWhite) & " " & TypeName(vbMsgBoxHelpButton) & " " & TypeName(vbObjectError)
out.Print VBCRLF = vbcrlf
' EXPECT:
' 2 13 10 True 9
' 0 1 0
' -1 0 -2 Integer
' 0 1
' 0 1 2 3 4 5 6 7 8 9 10 11 12 17 8192
' 0 1 2 3 4 5
' 16 32 48 64 256 512
' 1 2 3 4 5 6 7
' 1 2 7 0 1 2 3
' 0 1 2 3 4
' 0 255 65280 65535 16711680 16711935 16776960 16777215
' 4096 16384 -2147221504
' String Integer Integer Long Long Long Long
' True
