' An invalid use of Null in a built-in stops the script at its line.
Dim qty
qty = Null
out.Print Len(qty)
out.Print CLng(qty)
out.Print "not reached"
' EXPECT:
' <Null>
' !ERROR 94 LINE 5
