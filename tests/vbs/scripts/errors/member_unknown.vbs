out.Print "ok"
out.NoSuchMember 1
' EXPECT:
' ok
' !ERROR 438 LINE 2
