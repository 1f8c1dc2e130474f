unit A;

x
