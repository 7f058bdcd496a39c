; sensor 7
# T  R
4.2	1000

77 300 extra
300 100